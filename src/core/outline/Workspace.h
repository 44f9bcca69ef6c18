// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/ProgressView.h"
#include "core/outline/BookmarkClipboard.h"
#include "core/outline/BookmarkList.h"
#include "core/outline/EditHistory.h"
#include "core/outline/HeadingTreeModel.h"
#include "core/platform/DescriptionView.h"
#include "core/platform/DesktopServices.h"
#include "core/platform/FileDialogs.h"
#include "core/platform/MessageBoxes.h"
#include "core/platform/SystemClipboard.h"
#include "core/settings/Settings.h"
#include "core/store/Document.h"

#include <QObject>
#include <array>

namespace quillet::outline {
class BackgroundTitles;
}

namespace quillet::outline {

// Everything one running Quillet works on: the open document, its heading
// tree and bookmark list, the settings, and the desktop services the
// commands talk through. Windows show it; tests drive it without them.
class Workspace : public QObject
{
    Q_OBJECT
public:
    struct Services
    {
        platform::MessageBoxes *messages = nullptr;
        platform::FileDialogs *fileDialogs = nullptr;
        platform::DesktopServices *desktop = nullptr;
        platform::DescriptionView *description = nullptr;
        common::StatusView *status = nullptr;
        common::ProgressView *progress = nullptr; // the status bar's bar
        platform::SystemClipboard *systemClipboard = nullptr;
    };

    explicit Workspace(Services services, QObject *parent = nullptr);
    ~Workspace() override;

    store::Document &document() { return m_document; }
    HeadingTreeModel &tree() { return m_tree; }
    BookmarkList &list() { return m_list; }
    BookmarkClipboard &clipboard() { return m_clipboard; }
    EditHistory &history() { return m_history; }
    WindowSettings &windowSettings() { return m_window; }
    OptionSettings &optionSettings() { return m_options; }
    const Services &services() const { return m_services; }

    // Reads config.ini and option.ini; writes them back, saying so when
    // they could not be written.
    void loadSettings();
    bool saveSettings();

    void setStatus(const QString &text);
    void showIdleStatus();
    // A message box; without one (tests, quillet-cli) Ok, or Cancel to a
    // question.
    platform::MessageAnswer message(const QString &text, platform::MessageIcon icon,
        platform::MessageButtons buttons = platform::MessageButtons::Ok,
        const QString &title = QString());
    // The same after letting the windows repaint what the command changed.
    platform::MessageAnswer messageAfterRepaint(const QString &text, platform::MessageIcon icon,
        platform::MessageButtons buttons = platform::MessageButtons::Ok,
        const QString &title = QString());

    // The recent files changed (the File menu rebuilds its entries).
    void notifyRecentFilesChanged() { Q_EMIT recentFilesChanged(); }

    // A heading became the selected one: its bookmarks are listed unless it
    // is the one listed already.
    void selectHeading(HeadingNode *node);

    // Empties the heading tree and the bookmark list.
    void clearHeadingTree();

    // Reads page titles for bookmarks that came in named by their link; none
    // (the default) leaves them so.
    BackgroundTitles *titleFetcher() const { return m_titles; }
    void setTitleFetcher(BackgroundTitles *titles) { m_titles = titles; }

Q_SIGNALS:
    void recentFilesChanged();

private:
    Services m_services;
    store::Document m_document;
    HeadingTreeModel m_tree;
    BookmarkClipboard m_clipboard;
    BookmarkList m_list;
    EditHistory m_history;
    WindowSettings m_window;
    OptionSettings m_options;
    BackgroundTitles *m_titles = nullptr;
};

} // namespace quillet::outline
