#pragma once

#include "platform/DescriptionView.h"

#include <QTextBrowser>

namespace quillet::pages {

// webDescrip: shows the current bookmark (name, link, date, description).
class DescriptionPane : public QTextBrowser, public platform::DescriptionView
{
    Q_OBJECT
public:
    explicit DescriptionPane(QWidget *parent = nullptr);

    void showBookmark(const store::BookmarkRow &row) override;
    void blank() override;
};

} // namespace quillet::pages
