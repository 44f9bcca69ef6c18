// SPDX-License-Identifier: GPL-3.0-or-later
// The Favorites exchange driven from the real main window: the shortcuts
// Ctrl+I and Ctrl+E, and the synchronisation from the Tools menu.
#include "DocumentFixtures.h"
#include "GuiDriver.h"
#include "GuiTestMain.h"
#include "ScopedEnvironment.h"
#include "ScriptedPlatform.h"
#include "core/favorites/FavoritesExchange.h"
#include "gui/commands/CommandBar.h"
#include "gui/shell/MainWindow.h"

#include <QDir>
#include <QMenu>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTreeView>

using namespace quillet;
using namespace quillet::test;

class FavoritesTest : public QObject
{
    Q_OBJECT

    QTemporaryDir folders;
    std::optional<ScopedEnvironment> m_home;

    QString folder(const QString &name) const
    {
        const QString path = folders.filePath(name);
        QDir().mkpath(path);
        return path;
    }

private Q_SLOTS:
    void init()
    {
        clearHome();
        m_home.emplace("HOME", folders.path());
    }

    void importAndExportFromTheWindow()
    {
        const QString source = folder(QStringLiteral("source"));
        QDir().mkpath(source + QStringLiteral("/Docs"));
        writeFileBytes(
            source + QStringLiteral("/home.url"), "[InternetShortcut]\nURL=http://home\n");
        writeFileBytes(
            source + QStringLiteral("/Docs/manual.url"), "[InternetShortcut]\nURL=http://manual\n");
        std::optional<ScopedEnvironment> favoritesFolder;
        favoritesFolder.emplace("QUILLET_FAVORITES", source);

        ScriptedMessageBoxes messages;
        shell::MainWindow w(shell::MainWindowOverrides {&messages, nullptr, nullptr});
        QVERIFY(startWith(w));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        QTest::keyClick(&w, Qt::Key_I, Qt::ControlModifier);
        QTRY_COMPARE(listedNames(w), QStringList({QStringLiteral("home")}));
        QVERIFY(headingIndex(w, QStringLiteral("Docs")).isValid());
        QCOMPARE(w.statusText(), QStringLiteral("Status: Idle - 1 bookmarks found."));
        QVERIFY(!w.progressBar()->isVisible());
        QVERIFY(w.workspace().document().isModified());
        QVERIFY(clickHeading(w, QStringLiteral("Docs")));
        QCOMPARE(listedNames(w), QStringList({QStringLiteral("manual")}));

        const QString target = folder(QStringLiteral("target"));
        favoritesFolder.emplace("QUILLET_FAVORITES", target);
        QTest::keyClick(&w, Qt::Key_E, Qt::ControlModifier);
        QTRY_COMPARE(fileBytes(target + QStringLiteral("/Docs/manual.url")),
            QByteArray("[InternetShortcut]\nURL=http://manual\n"));
        QCOMPARE(fileBytes(target + QStringLiteral("/home.url")),
            QByteArray("[InternetShortcut]\nURL=http://home\n"));

        // The synchronisation from the Tools menu, confirmed: the document
        // becomes a copy of the folder.
        writeFileBytes(target + QStringLiteral("/extra.url"), "[InternetShortcut]\nURL=http://x\n");
        messages.answer(platform::MessageAnswer::Yes);
        QMenu *syncMenu = w.commandBar().menu(QStringLiteral("bndSync"));
        QAction *sync = w.commandBar().action(QStringLiteral("miTSyncImport"));
        QVERIFY(syncMenu && syncMenu->actions().contains(sync));
        sync->trigger();
        QCOMPARE(
            messages.texts(), QStringList({QString::fromLatin1(favorites::kSyncImportQuestion)}));
        QTRY_COMPARE(
            listedNames(w), QStringList({QStringLiteral("extra"), QStringLiteral("home")}));
        QCOMPARE(w.workspace().tree().root()->children.size(), size_t(1));
        QVERIFY(w.workspace().document().isModified()); // untitled
        messages.answer(platform::MessageAnswer::No); // the save prompt on close
        QVERIFY(w.close());
    }
};

QUILLET_GUI_TEST_MAIN(FavoritesTest)
#include "tst_favorites.moc"
