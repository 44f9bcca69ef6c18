// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <array>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace quillet::commands {

// The command set as Qt actions: one QAction per item (objectName = key),
// shared by every menu and toolbar that shows it. CommandBinding connects
// them to their handlers.
class CommandBar : public QObject
{
    Q_OBJECT
public:
    explicit CommandBar(QMainWindow *window);

    QAction *action(const QString &key) const { return m_actions.value(key); }
    // Like action(), but a key the bar does not know throws std::logic_error.
    QAction *requireAction(const QString &key) const;
    // Runs the command of `key` as its menu item would.
    void trigger(const QString &key) const;
    const QHash<QString, QAction *> &actions() const { return m_actions; }
    QMenu *menu(const QString &bandKey) const { return m_menus.value(bandKey); }
    QToolBar *mainToolbar() const { return m_toolbar; }
    QToolBar *toolbox() const { return m_toolbox; }
    // The bookmark list's context menu (bndList).
    QMenu *listPopup() const { return m_listPopup; }

    // Shows the filled recent-file entries in order, stopping at the first
    // empty one.
    void setRecentFiles(const std::array<QString, 3> &entries);

private:
    QMenu *buildMenu(const QString &bandKey, QWidget *parent);
    void fillToolBar(QToolBar *bar, const QString &bandKey);

    QMainWindow *m_window;
    QHash<QString, QAction *> m_actions;
    QHash<QString, QMenu *> m_menus;
    QToolBar *m_toolbar = nullptr;
    QToolBar *m_toolbox = nullptr;
    QMenu *m_listPopup = nullptr;
};

} // namespace quillet::commands
