// SPDX-License-Identifier: GPL-3.0-or-later
// "Search for picture" from the main window: the chosen picture ends up in
// the description pane.
#include "DocumentBuilder.h"
#include "GuiDriver.h"
#include "GuiTestMain.h"
#include "PaneContents.h"
#include "ScriptedPlatform.h"
#include "core/common/AppHome.h"
#include "core/pages/DescriptionPage.h"
#include "gui/commands/CommandBar.h"
#include "gui/pages/DescriptionPane.h"
#include "gui/shell/MainWindow.h"

using namespace quillet;
using namespace quillet::test;

class PicturesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void searchForPictureShowsItInThePane()
    {
        clearHome();
        const QString path = common::homePath(QStringLiteral("doc.rdb"));
        writeDocument(path,
            {{QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")}},
            {{QStringLiteral("kRoot"), QStringLiteral("K1"), QStringLiteral("Soup"),
                QStringLiteral("http://soup")}});
        QImage red(800, 600, QImage::Format_RGB32);
        red.fill(Qt::red);
        const QString picture = common::homePath(QStringLiteral("red.png"));
        QVERIFY(red.save(picture));

        ScriptedMessageBoxes messages;
        ScriptedFileDialogs dialogs;
        RecordingDesktop desktop;
        shell::MainWindow w(shell::MainWindowOverrides {&messages, &dialogs, &desktop});
        QVERIFY(startWith(w, {path}));
        auto *pane = child<pages::DescriptionPane>(&w, "webDescrip");
        dialogs.choose(picture);
        w.commandBar().trigger(QStringLiteral("miLSearch"));
        QCOMPARE(dialogs.opened, 1);
        QVERIFY(messages.shown.isEmpty());

        // The pane's picture is the new thumbnail: red, 180 pixels wide.
        QString shown;
        QVERIFY(QTest::qWaitFor(
            [&] {
                shown = fileNameOf(paneThumbnail(*pane).name);
                return shown.startsWith(QLatin1String("image"));
            },
            15000));
        const QImage thumbnail(pages::htmlFolder() + QLatin1Char('/') + shown, "JPG");
        QCOMPARE(thumbnail.size(), QSize(180, 132));
        QVERIFY(qRed(thumbnail.pixel(90, 66)) > 230 && qGreen(thumbnail.pixel(90, 66)) < 30);
        QVERIFY(w.workspace().document().isModified());
    }
};

QUILLET_GUI_TEST_MAIN(PicturesTest)
#include "tst_pictures.moc"
