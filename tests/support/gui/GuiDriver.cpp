// SPDX-License-Identifier: GPL-3.0-or-later
#include "GuiDriver.h"

#include "core/common/AppHome.h"
#include "gui/commands/CommandBar.h"
#include "gui/shell/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

namespace quillet::test {

void clearHome()
{
    QDir(common::appHome()).removeRecursively();
}

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

void retype(QWidget *box, const QString &text)
{
    if (auto *line = qobject_cast<QLineEdit *>(box))
        line->clear();
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(box))
        plain->clear();
    QTest::keyClicks(box, text);
}

bool showAndWait(QWidget &window)
{
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

bool startWith(shell::MainWindow &w, const QStringList &arguments)
{
    w.loadStartupDocument(QStringList {QStringLiteral("quillet")} + arguments, nullptr);
    return showAndWait(w);
}

QStringList actionKeys(const QList<QAction *> &actions)
{
    QStringList keys;
    for (const QAction *a : actions)
        keys << a->objectName();
    return keys;
}

bool answerDialog(shell::MainWindow &w, const QString &key, const char *dialogName,
    const std::function<void(QWidget *)> &script)
{
    bool seen = false;
    // Fires inside the dialog's own event loop; a timer of this scope cannot
    // outlive the locals it uses when no dialog opens.
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog) {
            timer.start(10); // not shown yet
            return;
        }
        if (dialog->objectName() != QLatin1String(dialogName)) {
            dialog->close();
            return;
        }
        seen = true;
        script(dialog);
    });
    timer.start(0);
    w.commandBar().trigger(key);
    return seen;
}

QModelIndex headingIndex(shell::MainWindow &w, const QString &title)
{
    const QAbstractItemModel *model = w.headingView()->model();
    const QModelIndexList matches = model->match(
        model->index(0, 0), Qt::DisplayRole, title, 1, Qt::MatchExactly | Qt::MatchRecursive);
    return matches.isEmpty() ? QModelIndex() : matches.first();
}

bool clickHeading(shell::MainWindow &w, const QString &title)
{
    const QModelIndex index = headingIndex(w, title);
    if (!index.isValid())
        return false;
    QTreeView *tree = w.headingView();
    tree->scrollTo(index);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
    return true;
}

QStringList listedNames(shell::MainWindow &w)
{
    QStringList names;
    auto &model = w.workspace().list().model();
    for (int i = 0; i < model.count(); ++i)
        names << model.entry(i).name;
    return names;
}

} // namespace quillet::test
