// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pages/DescriptionPage.h"
#include "platform/DescriptionView.h"
#include "platform/DesktopServices.h"

#include <QWebEngineView>
#include <memory>

namespace quillet::pages {

class PaneGuard;

// webDescrip: the current bookmark as a small page filled from the pane's
// template. The page holds the user's own text, markup included, so the pane
// keeps it from reaching out: scripts are off, nothing but its own page and
// the files of the html folder loads, and a clicked link opens in the user's
// browser instead of replacing the page.
class DescriptionPane : public QWebEngineView, public platform::DescriptionView
{
    Q_OBJECT
public:
    explicit DescriptionPane(QWidget *parent = nullptr);
    ~DescriptionPane() override;

    // ShowDescription.
    void showBookmark(const store::BookmarkRow &row) override;
    void blank() override;

    // Where clicked links are opened (OpenInBrowser); none: only
    // linkClicked is signalled.
    void setDesktop(platform::DesktopServices *desktop) { m_desktop = desktop; }

    DescriptionPageWriter &writer() { return m_writer; }

Q_SIGNALS:
    void linkClicked(const QUrl &url);
    // The page asked for something it may not load.
    void requestBlocked(const QUrl &url);

private:
    friend class PanePage;
    friend class PaneGuard;
    void openClickedLink(const QUrl &url);
    void loadPage(const QString &page, const QString &folder);

    DescriptionPageWriter m_writer;
    std::unique_ptr<PaneGuard> m_guard;
    platform::DesktopServices *m_desktop = nullptr;
    bool m_pageFileWritten = false;
};

} // namespace quillet::pages
