// SPDX-License-Identifier: GPL-3.0-or-later
// "Make snapshot" from the main window, and the full-page capture of the
// snapshot browser checked pixel by pixel.
#include "DocumentBuilder.h"
#include "GuiDriver.h"
#include "GuiTestMain.h"
#include "MarkerPage.h"
#include "PaneContents.h"
#include "ScopedEnvironment.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/pages/DescriptionPage.h"
#include "core/snapshots/SnapshotRun.h"
#include "core/store/BookmarkTable.h"
#include "gui/pages/DescriptionPane.h"
#include "gui/platform/BrowserEngine.h"
#include "gui/platform/BrowserEngineLoader.h"
#include "gui/shell/MainWindow.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>

using namespace quillet;
using namespace quillet::test;

namespace {

QString writePage(const QString &name, const QString &html)
{
    const QString path = common::homePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(html.toUtf8()) < 0)
        return QString();
    return path;
}

// Whether the browser engine's library is mapped into this process.
bool engineMapped()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore");
}

// A document of one bookmark, selected at start.
QString oneBookmarkDocument()
{
    const QString path = common::homePath(QStringLiteral("doc.rdb"));
    writeDocument(path,
        {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")}},
        {{QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("Example"),
            QStringLiteral("http://127.0.0.1:9/")}});
    return path;
}

struct LoadCounter : platform::PageRendererListener
{
    void documentCompleted() override { ++completed; }
    void statusTextChanged(const QString &) override { }
    int completed = 0;
};

} // namespace

class SnapshotsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // These two run first: once loaded, the engine stays.
    void noEngineIsAMessageNotAWindow()
    {
        clearHome();
        const ScopedEnvironment gonePlugin(
            "QUILLET_ENGINE_PLUGIN", common::homePath(QStringLiteral("gone.so")));
        ScriptedMessageBoxes messages;
        ScriptedFileDialogs dialogs;
        RecordingDesktop desktop;
        shell::MainWindow w(shell::MainWindowOverrides {&messages, &dialogs, &desktop});
        QVERIFY(startWith(w, {oneBookmarkDocument()}));
        QVERIFY(!answerDialog(
            w, QStringLiteral("miLMakeSnap"), "frmSnap", [](QWidget *d) { d->close(); }));
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY(messages.texts().constFirst().startsWith(QStringLiteral(
            "Quillet can not show web pages: its browser engine could not be loaded.")));
        QVERIFY(!platform::browserEngineLoaded());
    }

    void theEngineLoadsWithTheSnapshotWindowOnly()
    {
        clearHome();
        ScriptedMessageBoxes messages;
        ScriptedFileDialogs dialogs;
        RecordingDesktop desktop;
        shell::MainWindow w(shell::MainWindowOverrides {&messages, &dialogs, &desktop});
        QVERIFY(startWith(w, {oneBookmarkDocument()}));
        QVERIFY(!engineMapped());
        QVERIFY(answerDialog(
            w, QStringLiteral("miLMakeSnap"), "frmSnap", [](QWidget *d) { d->close(); }));
        QVERIFY(platform::browserEngineLoaded());
        QVERIFY(engineMapped());
        QCOMPARE(messages.texts(), QStringList());
    }

    void makeSnapshotShowsTheThumbnailInThePane()
    {
        clearHome();
        const QString page = writePage(QStringLiteral("green.htm"),
            QStringLiteral("<html><body style=\"margin:0;background:#00c000\">"
                           "<div style=\"height:2000px\"></div></body></html>"));
        const QString link = QUrl::fromLocalFile(page).toString();
        const QString path = common::homePath(QStringLiteral("doc.rdb"));
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")}},
            {{QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("Green"), link}});

        ScriptedMessageBoxes messages;
        ScriptedFileDialogs dialogs;
        RecordingDesktop desktop;
        shell::MainWindow w(shell::MainWindowOverrides {&messages, &dialogs, &desktop});
        QVERIFY(startWith(w, {path}));
        QCOMPARE(w.workspace().list().selectedKey(), QStringLiteral("K1"));

        QString status;
        const bool opened
            = answerDialog(w, QStringLiteral("miLMakeSnap"), "frmSnap", [&](QWidget *d) {
                  auto *start = child<QPushButton>(d, "cmdStart");
                  auto *statusText = child<QLabel>(d, "staShowText");
                  if (QTest::qWaitFor([&] { return start->isEnabled(); }, 5000))
                      click(start);
                  (void)QTest::qWaitFor(
                      [&] {
                          return statusText->text() == QLatin1String("Status: Task accomplished.");
                      },
                      30000);
                  status = statusText->text();
                  d->close();
              });
        QVERIFY(opened);
        QCOMPARE(status, QStringLiteral("Status: Task accomplished."));

        const auto row = store::BookmarkTable(*w.workspace().document().database())
                             .findLive(QStringLiteral("kRoot"), QStringLiteral("K1"));
        QVERIFY(row);
        const QImage thumbnail = QImage::fromData(row->thumbnail);
        QCOMPARE(thumbnail.size(), QSize(180, 132));
        QVERIFY(qGreen(thumbnail.pixel(90, 66)) > 150 && qRed(thumbnail.pixel(90, 66)) < 40);
        QVERIFY(w.workspace().document().isModified());

        auto *pane = child<pages::DescriptionPane>(&w, "webDescrip");
        QString shown;
        QVERIFY(QTest::qWaitFor(
            [&] {
                shown = fileNameOf(paneThumbnail(*pane).name);
                return !shown.isEmpty();
            },
            15000));
        const QImage paneImage(pages::htmlFolder() + QLatin1Char('/') + shown);
        QCOMPARE(paneImage.size(), QSize(180, 132));
        QVERIFY(qGreen(paneImage.pixel(90, 66)) > 150);
    }

    // Tiles two columns wide and many rows high, with the last column and
    // row pushed against the page's edges.
    void wholePageIsCapturedTileByTile()
    {
        clearHome();
        MarkerPage markers;
        markers.size = QSize(1280, 2400);
        const QString page = writePage(QStringLiteral("markers.htm"), markers.html());
        QWidget host;
        host.setAttribute(Qt::WA_DontShowOnScreen);
        host.resize(800, 600);
        platform::BrowserEngine *engine = platform::browserEngine();
        QVERIFY(engine);
        const auto renderer = engine->makePageRenderer(&host);
        renderer->view()->resize(host.size());
        host.show();
        LoadCounter loads;
        renderer->setListener(&loads);
        renderer->navigate(QUrl::fromLocalFile(page).toString());
        QTRY_COMPARE_WITH_TIMEOUT(loads.completed, 1, 10000);

        QImage captured;
        bool done = false;
        renderer->capturePage([&](const QImage &image) {
            captured = image;
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done, 20000);
        QCOMPARE(markers.wrongBlocks(captured), 0);
    }
};

QUILLET_GUI_TEST_MAIN(SnapshotsTest)
#include "tst_snapshots.moc"
