// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/BookmarkRow.h"

namespace quillet::platform {

// The pane that shows the current bookmark as a small page.
class DescriptionView
{
public:
    virtual ~DescriptionView() = default;
    virtual void showBookmark(const store::BookmarkRow &row) = 0;
    // An empty page.
    virtual void blank() = 0;
};

} // namespace quillet::platform
