// SPDX-License-Identifier: GPL-3.0-or-later
// The Tools and Help commands driven from the real main window:
// backup, compact, restore, options, the update check and the about box.
#include "DocumentBuilder.h"
#include "GuiDriver.h"
#include "GuiTestMain.h"
#include "ScopedEnvironment.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/settings/UpdateCheck.h"
#include "gui/commands/CommandBar.h"
#include "gui/shell/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTreeView>

using namespace quillet;
using namespace quillet::test;

namespace {

// Serves the version page as two frames, the version in the second one.
class VersionSite : public QTcpServer
{
public:
    QString version;

    VersionSite()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    const QList<QByteArray> request = socket->readAll().split(' ');
                    socket->write(reply(request.value(1)));
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }

private:
    QByteArray reply(const QByteArray &path) const
    {
        QByteArray body;
        if (path == "/update/Quillet/version.htm")
            body = "<html><frameset cols='50%,50%'><frame src='/first.htm'>"
                   "<frame src='/second.htm'></frameset></html>";
        else if (path == "/first.htm")
            body = "<html><body>News</body></html>";
        else if (path == "/second.htm")
            body = "<html><body><form><input type='hidden' name='version' value='"
                + version.toUtf8() + "'></form></body></html>";
        const QByteArray status = body.isEmpty() ? "404 Not Found" : "200 OK";
        return "HTTP/1.0 " + status + "\r\nContent-Type: text/html\r\nContent-Length: "
            + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    }
};

} // namespace

class ToolsTest : public QObject
{
    Q_OBJECT

    ScriptedMessageBoxes messages;
    ScriptedFileDialogs dialogs;
    RecordingDesktop desktop;

    QString writeSample(const QString &name)
    {
        const QString path = common::homePath(name);
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")}},
            {{QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("Soup"),
                QStringLiteral("http://soup")}});
        return path;
    }

private Q_SLOTS:
    void init()
    {
        clearHome();
        messages = ScriptedMessageBoxes();
        dialogs = ScriptedFileDialogs();
        desktop = RecordingDesktop();
    }

    void backupCompactAndRestoreFromTheMenu()
    {
        const QString path = writeSample(QStringLiteral("doc.rdb"));
        shell::MainWindow w(shell::MainWindowOverrides {&messages, &dialogs, &desktop});
        QVERIFY(startWith(w, {path}));
        const QString backup = common::homePath(QStringLiteral("copy.dbk"));
        dialogs.choose(common::homePath(QStringLiteral("copy")));
        w.commandBar().trigger(QStringLiteral("miTDBBackup"));
        QCOMPARE(messages.texts().value(0),
            QStringLiteral("Your bookmarks have now been successfully backed up."));
        QVERIFY(QFileInfo::exists(backup));

        w.commandBar().trigger(QStringLiteral("miTDBCompact"));
        QCOMPARE(messages.texts().value(1),
            QStringLiteral("Your bookmarks have now been successfully compacted."));
        QCOMPARE(listedNames(w), QStringList({QStringLiteral("Soup")}));

        const QString folder = common::homePath(QStringLiteral("restored"));
        QDir().mkpath(folder);
        dialogs.choose(backup);
        dialogs.choose(folder);
        QVERIFY(answerDialog(w, QStringLiteral("miTDBRestore"), "frmRestore", [&](QWidget *d) {
            const auto closer = qScopeGuard([d] { d->close(); });
            auto *start = child<QPushButton>(d, "cmdStart");
            auto *destView = child<QPushButton>(d, "cmdDestView");
            QVERIFY(!start->isEnabled() && !destView->isEnabled());
            click(child<QPushButton>(d, "cmdSrcView"));
            QCOMPARE(child<QLineEdit>(d, "txtSrc")->text(), backup);
            QVERIFY(destView->isEnabled());
            click(destView);
            QCOMPARE(child<QLineEdit>(d, "txtDest")->text(), folder + QStringLiteral("/copy.rdb"));
            QVERIFY(start->isEnabled());
            child<QCheckBox>(d, "chkStart")->setChecked(true);
            click(start);
            QVERIFY(d->isVisible()); // stays open after a restore
            click(child<QPushButton>(d, "cmdExit"));
        }));
        QCOMPARE(messages.texts().value(2),
            QStringLiteral("Your Database has now been successfully restored."));
        QCOMPARE(w.workspace().document().path(), folder + QStringLiteral("/copy.rdb"));
        QCOMPARE(listedNames(w), QStringList({QStringLiteral("Soup")}));
    }

    void optionsApplyTheFontAndRememberTheTab()
    {
        shell::MainWindow w(shell::MainWindowOverrides {&messages, &dialogs, &desktop});
        QVERIFY(startWith(w));
        QVERIFY(answerDialog(w, QStringLiteral("miTOptions"), "frmOption", [&](QWidget *d) {
            const auto closer = qScopeGuard([d] { d->close(); });
            auto *tabs = child<QTabWidget>(d, "tabOption");
            QCOMPARE(tabs->tabText(0), QStringLiteral("Font Setting"));
            QCOMPARE(tabs->tabText(1), QStringLiteral("Load on Startup"));
            QCOMPARE(tabs->tabText(2), QStringLiteral("Image Folder"));
            auto *sizes = child<QComboBox>(d, "cboFontSize");
            QCOMPARE(sizes->count(), 8);
            QCOMPARE(sizes->itemText(5), QStringLiteral("14"));
            sizes->setCurrentText(QStringLiteral("14"));
            tabs->setCurrentIndex(1);
            auto *file = child<QLineEdit>(d, "txtFile");
            clickRadio(child<QRadioButton>(d, "optFavorites"));
            QVERIFY(!file->isEnabled() && !child<QPushButton>(d, "cmdFile")->isEnabled());
            clickRadio(child<QRadioButton>(d, "optDefault"));
            QVERIFY(file->isEnabled());
            QCOMPARE(file->palette().color(QPalette::Base), QColor(255, 255, 255));
            tabs->setCurrentIndex(2);
            click(child<QPushButton>(d, "cmdApply"));
        }));
        QCOMPARE(w.headingView()->font().pointSizeF(), 14.0);
        QCOMPARE(w.bookmarkView()->font().pointSizeF(), 14.0);
        QCOMPARE(w.workspace().optionSettings().fontSize, QStringLiteral("14"));
        QCOMPARE(w.workspace().optionSettings().loadMethods, 2);

        // Opens on the last tab; Cancel keeps everything.
        QVERIFY(answerDialog(w, QStringLiteral("miTOptions"), "frmOption", [&](QWidget *d) {
            const auto closer = qScopeGuard([d] { d->close(); });
            QCOMPARE(child<QTabWidget>(d, "tabOption")->currentIndex(), 2);
            tabs(d)->setCurrentIndex(0);
            click(child<QPushButton>(d, "cmdDefault"));
            click(child<QPushButton>(d, "cmdCancel"));
        }));
        QCOMPARE(w.headingView()->font().pointSizeF(), 14.0);
        QCOMPARE(w.workspace().optionSettings().fontSize, QStringLiteral("14"));
    }

    void updateCheckReadsTheVersionFromTheSecondFrame_data()
    {
        QTest::addColumn<QString>("published");
        QTest::addColumn<QString>("message");
        const QString latest = QStringLiteral("You have installed the lastest version of Quillet.");
        QTest::newRow("newer") << QStringLiteral(
            "3.1") << QStringLiteral("One new version(3.1) is available, do you want to view it!");
        QTest::newRow("same") << QStringLiteral("3.0") << latest;
        // A suffix is not compared, but shown as published.
        QTest::newRow("suffix") << QStringLiteral("3.0b") << latest;
        QTest::newRow("newer with suffix")
            << QStringLiteral("3.1b")
            << QStringLiteral("One new version(3.1b) is available, do you want to view it!");
        QTest::newRow("ten") << QStringLiteral("10.0")
                             << QStringLiteral(
                                    "One new version(10.0) is available, do you want to view it!");
    }

    void updateCheckReadsTheVersionFromTheSecondFrame()
    {
        QFETCH(QString, published);
        QFETCH(QString, message);
        VersionSite site;
        site.version = published;
        const ScopedEnvironment siteFromTest("QUILLET_UPDATE_SITE", site.url());
        shell::MainWindow w(shell::MainWindowOverrides {&messages, &dialogs, &desktop});
        QVERIFY(startWith(w));
        QVERIFY(answerDialog(w, QStringLiteral("miHUpdate"), "frmUpdate", [&](QWidget *d) {
            // The dialog closes itself on an answer; this only bounds the wait.
            QTimer::singleShot(20000, d, &QWidget::close);
        }));
        QCOMPARE(messages.texts(), QStringList({message}));
        const bool newer = message.startsWith(QStringLiteral("One new"));
        QCOMPARE(desktop.links,
            newer ? QStringList({site.url() + QStringLiteral("/download.html")}) : QStringList());
    }

    void updateCheckSaysSoWhenThePageCannotBeLoaded()
    {
        quint16 port = 0;
        {
            QTcpServer closed; // a port nobody listens on any more
            QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
            port = closed.serverPort();
        }
        const ScopedEnvironment closedSite(
            "QUILLET_UPDATE_SITE", QStringLiteral("http://127.0.0.1:%1").arg(port));
        shell::MainWindow w(shell::MainWindowOverrides {&messages, &dialogs, &desktop});
        QVERIFY(startWith(w));
        QVERIFY(answerDialog(w, QStringLiteral("miHUpdate"), "frmUpdate", [&](QWidget *d) {
            const auto closer = qScopeGuard([d] { d->close(); });
            QTRY_COMPARE_WITH_TIMEOUT(
                child<QLabel>(d, "lblTitle")->text(), settings::pageNotLoadedMessage(), 20000);
        }));
        QCOMPARE(messages.texts(), QStringList());
    }

    void aboutNamesVersionsAndHome()
    {
        shell::MainWindow w(shell::MainWindowOverrides {&messages, &dialogs, &desktop});
        QVERIFY(startWith(w));
        QVERIFY(answerDialog(w, QStringLiteral("miHAbout"), "frmAbout", [&](QWidget *d) {
            const auto closer = qScopeGuard([d] { d->close(); });
            QVERIFY(child<QLabel>(d, "lblTitle")->text().contains(QStringLiteral("3.0")));
            const QString versions = child<QLabel>(d, "lblVersions")->text();
            QVERIFY(versions.contains(QLatin1String(qVersion())));
            QVERIFY(versions.contains(QRegularExpression(QStringLiteral("SQLCipher \\d+\\.\\d+"))));
            QVERIFY(child<QLabel>(d, "lblHome")->text().contains(common::appHome()));
            click(child<QPushButton>(d, "cmdOK"));
        }));
        QVERIFY(!QApplication::activeModalWidget());
    }

private:
    // On the indicator: a radio button takes clicks on its box and text only.
    static void clickRadio(QRadioButton *button)
    {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    static QTabWidget *tabs(QWidget *d) { return child<QTabWidget>(d, "tabOption"); }
};

QUILLET_GUI_TEST_MAIN(ToolsTest)
#include "tst_tools.moc"
