// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/pages/DescriptionPage.h"
#include "core/platform/DescriptionView.h"
#include "core/platform/DesktopServices.h"

#include <QTextBrowser>

namespace quillet::pages {

// webDescrip: the current bookmark as a small page filled from the pane's
// template, shown with Qt's own rich text. The page holds the user's own
// text, markup included, so the pane keeps it from reaching out: rich text
// runs no scripts, pictures and style sheets come from the html folder only
// (nothing remote, nothing else on the disk), and a clicked link opens in
// the user's browser instead of replacing the page.
class DescriptionPane : public QTextBrowser, public platform::DescriptionView
{
    Q_OBJECT
public:
    explicit DescriptionPane(QWidget *parent = nullptr);

    // ShowDescription.
    void showBookmark(const store::BookmarkRow &row) override;
    void blank() override;

    // Where clicked links are opened (OpenInBrowser); none: only
    // linkClicked is signalled.
    void setDesktop(platform::DesktopServices *desktop) { m_desktop = desktop; }

    DescriptionPageWriter &writer() { return m_writer; }

    QVariant loadResource(int type, const QUrl &name) override;

Q_SIGNALS:
    void linkClicked(const QUrl &url);
    // The page asked for something it may not load.
    void requestBlocked(const QUrl &url);

private:
    void openClickedLink(const QUrl &url);
    void showPage(const QString &page);

    DescriptionPageWriter m_writer;
    QString m_folder;
    platform::DesktopServices *m_desktop = nullptr;
};

} // namespace quillet::pages
