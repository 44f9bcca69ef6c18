// SPDX-License-Identifier: GPL-3.0-or-later
// Browser bookmark exchange driven from the real main window's Tools menu.
#include "DocumentBuilder.h"
#include "GuiDriver.h"
#include "GuiTestMain.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "gui/commands/CommandBar.h"
#include "gui/shell/MainWindow.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>

using namespace quillet;
using namespace quillet::test;

class BrowsersTest : public QObject
{
    Q_OBJECT

    ScriptedMessageBoxes messages;
    ScriptedFileDialogs dialogs;
    RecordingDesktop desktop;

private Q_SLOTS:
    void init() { clearHome(); }

    void exportThenImportFromTheToolsMenu()
    {
        const QString path = common::homePath(QStringLiteral("doc.rdb"));
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")}},
            {{QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("Soup"),
                QStringLiteral("http://soup")}});
        shell::MainWindow w(shell::MainWindowOverrides {&messages, &dialogs, &desktop});
        QVERIFY(startWith(w, {path}));

        const QString exported = common::homePath(QStringLiteral("out.html"));
        dialogs.choose(exported);
        QVERIFY(answerDialog(w, QStringLiteral("miTBrowserExport"), "frmBrowserExport",
            [](QWidget *d) { click(child<QPushButton>(d, "cmdOK")); }));
        QCOMPARE(w.statusText(), QStringLiteral("Status: Idle - 1 bookmarks exported."));
        QFile file(exported);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("<A HREF=\"http://soup\""));

        const QString html = common::homePath(QStringLiteral("in.html"));
        QFile in(html);
        QVERIFY(in.open(QIODevice::WriteOnly));
        in.write("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n"
                 "<DT><A HREF=\"http://tea\">Tea</A>\n<DT><A HREF=\"http://x\">Soup</A>\n"
                 "<DT><H3>Recipes</H3>\n<DL><p>\n<DT><A HREF=\"http://cake\">Cake</A>\n"
                 "</DL><p>\n</DL><p>\n");
        in.close();
        dialogs.choose(html);
        QVERIFY(
            answerDialog(w, QStringLiteral("miTBrowserImport"), "frmBrowserImport", [](QWidget *d) {
                const auto closer = qScopeGuard([d] { d->close(); });
                QCOMPARE(child<QListWidget>(d, "lstSource")->item(0)->text(),
                    QStringLiteral("Bookmark HTML file..."));
                child<QListWidget>(d, "lstSource")->setCurrentRow(0);
                click(child<QPushButton>(d, "cmdOK"));
            }));
        // "Soup" is there already, under another link: counted, not added.
        QCOMPARE(w.statusText(),
            QStringLiteral("Status: Idle - 2 bookmarks imported, 1 already there."));
        QCOMPARE(listedNames(w), QStringList({QStringLiteral("Soup"), QStringLiteral("Tea")}));
        QVERIFY(w.workspace().document().isModified());
        QVERIFY(clickHeading(w, QStringLiteral("Recipes")));
        QCOMPARE(listedNames(w), QStringList({QStringLiteral("Cake")}));
    }
};

QUILLET_GUI_TEST_MAIN(BrowsersTest)
#include "tst_browsers.moc"
