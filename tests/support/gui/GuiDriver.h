// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QModelIndex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QWidget;

namespace quillet::shell {
class MainWindow;
}

namespace quillet::test {

// Drives windows and dialogs as a user would, for the QtTest binaries.

// Empties the application home between test functions.
void clearHome();

// A widget by objectName; a missing one stops the binary, since every later
// step would crash on it anyway.
template<typename T> T *child(QObject *parent, const char *name)
{
    T *widget = parent->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no child %s", name);
    return widget;
}

void click(QWidget *widget);
// Empties a line or plain text box and types `text` into it.
void retype(QWidget *box, const QString &text);

// Shows a window and waits until it is exposed.
[[nodiscard]] bool showAndWait(QWidget &window);
// Loads the start-up document as the program does with `arguments` after
// its own name, then shows the window.
[[nodiscard]] bool startWith(shell::MainWindow &w, const QStringList &arguments = {});

// The objectNames (command keys) of `actions`, in order.
QStringList actionKeys(const QList<QAction *> &actions);

// Runs command `key` and hands the modal dialog it opens, once shown, to
// `script`, which must close it. Returns whether a dialog named `dialogName`
// came up; any other modal window is closed, so that a wrong turn fails the
// test instead of hanging it.
bool answerDialog(shell::MainWindow &w, const QString &key, const char *dialogName,
    const std::function<void(QWidget *)> &script);

// The heading view's row titled `title`, at any depth; invalid when none.
QModelIndex headingIndex(shell::MainWindow &w, const QString &title);
// Clicks heading `title`, scrolled into view first; false when there is none.
[[nodiscard]] bool clickHeading(shell::MainWindow &w, const QString &title);
// Names of the listed bookmarks, top to bottom.
QStringList listedNames(shell::MainWindow &w);

} // namespace quillet::test
