// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/ProgressView.h"

#include <QtGlobal>

namespace quillet::common {

// The one progress counter of the program: long operations count it up while
// they drive a progress bar, and the help-file builder names its thumbnails
// by it. Reset it to 0 when an operation starts.
inline qint64 progressCounter = 0;

// Counts one step and shows the new value on `view` (none: only counts).
inline qint64 advanceProgress(ProgressView *view)
{
    ++progressCounter;
    if (view)
        view->setValue(progressCounter);
    return progressCounter;
}

} // namespace quillet::common
