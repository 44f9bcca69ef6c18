// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentBuilder.h"
#include "DocumentFixtures.h"
#include "core/cli/CliCommands.h"
#include "core/common/AppHome.h"
#include "core/store/Schema.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace quillet;
using test::ItemRow;
using test::NodeRow;

namespace {

struct Outcome
{
    int status = -1;
    QString out;
    QString err;
};

Outcome runCli(const QStringList &arguments)
{
    Outcome outcome;
    QTextStream out(&outcome.out);
    QTextStream err(&outcome.err);
    outcome.status = cli::run(arguments, out, err);
    out.flush();
    err.flush();
    return outcome;
}

QString docPath(const QString &name)
{
    QDir().mkpath(common::appHome() + QStringLiteral("/docs"));
    return common::appHome() + QStringLiteral("/docs/") + name;
}

ItemRow item(const QString &heading, const QString &name, const QString &link, int delFlag = 0,
    const QString &description = QString())
{
    ItemRow row(heading, QString(), name, link, delFlag);
    row.description = description;
    return row;
}

// Root > Work > Tools/Misc, and Root > Home; one row under a heading the
// tree does not have. With `leftover`, a session that stopped unsaved left
// "Old saw" deleted and "New desk" added; else both are saved as shown.
QString sampleDocument(bool leftover = false)
{
    const QString path = docPath(QStringLiteral("sample.rdb"));
    QList<ItemRow> items {
        item(QStringLiteral("K3"), QStringLiteral("Garden"), QStringLiteral("http://garden.test")),
        item(QStringLiteral("K2"), QStringLiteral("Hammer"), QStringLiteral("http://tools.test"), 0,
            QStringLiteral("steel\thead\nline two \\ end")),
        item(QStringLiteral("kRoot"), QStringLiteral("Alpha"), QStringLiteral("http://a.test"))};
    if (leftover)
        items << item(
            QStringLiteral("K2"), QStringLiteral("Old saw"), QStringLiteral("http://saw.test"), -1);
    items << item(QStringLiteral("K1"), QStringLiteral("New desk"),
        QStringLiteral("http://desk.test"), leftover ? 1 : 0)
          << item(
                 QStringLiteral("K99"), QStringLiteral("Lost"), QStringLiteral("http://lost.test"));
    test::writeDocument(path,
        {NodeRow(QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")),
            NodeRow(QStringLiteral("kRoot"), QStringLiteral("Work"), QStringLiteral("K1")),
            NodeRow(QStringLiteral("K1"), QStringLiteral("Tools/Misc"), QStringLiteral("K2")),
            NodeRow(QStringLiteral("kRoot"), QStringLiteral("Home"), QStringLiteral("K3"))},
        items);
    return path;
}

QStringList lines(const QString &text)
{
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

TEST(Cli, ListsLiveBookmarksInTreeOrderOneEscapedLineEach)
{
    const QString doc = sampleDocument();
    const Outcome listed = runCli({QStringLiteral("list"), doc});
    ASSERT_EQ(listed.status, cli::Success) << listed.err.toStdString();
    EXPECT_EQ(lines(listed.out),
        QStringList({QStringLiteral("my Favroites\tAlpha\thttp://a.test\t2024-01-02\t"),
            QStringLiteral("my Favroites/Work\tNew desk\thttp://desk.test\t2024-01-02\t"),
            QStringLiteral("my Favroites/Work/Tools\\/Misc\tHammer\thttp://tools.test\t2024-01-02"
                           "\tsteel\\thead\\nline two \\\\ end"),
            QStringLiteral("my Favroites/Home\tGarden\thttp://garden.test\t2024-01-02\t")}));
    EXPECT_TRUE(listed.err.isEmpty());
}

TEST(Cli, FindsWhatTheFindWindowFinds)
{
    const QString doc = sampleDocument();
    // "All" joins name, link and description; rows of a vanished heading are
    // found, without a heading path.
    Outcome found = runCli({QStringLiteral("find"), doc, QStringLiteral("test")});
    ASSERT_EQ(found.status, cli::Success);
    QStringList names;
    for (const QString &line : lines(found.out))
        names << line.section(QLatin1Char('\t'), 0, 1);
    EXPECT_EQ(names,
        QStringList({QStringLiteral("my Favroites/Home\tGarden"),
            QStringLiteral("my Favroites/Work/Tools\\/Misc\tHammer"),
            QStringLiteral("my Favroites\tAlpha"), QStringLiteral("my Favroites/Work\tNew desk"),
            QStringLiteral("\tLost")}));

    found = runCli({QStringLiteral("find"), doc, QStringLiteral("HAMMERhttp")});
    EXPECT_EQ(lines(found.out).size(), 1);

    found = runCli({QStringLiteral("find"), doc, QStringLiteral("saw")});
    EXPECT_EQ(found.status, cli::NothingFound);
    EXPECT_TRUE(found.out.isEmpty());
    EXPECT_EQ(found.err.trimmed(), QStringLiteral("\"saw\" could not be found."));
}

// A name from a hostile file must not reach the terminal as a command.
TEST(Cli, ControlCharactersArePrintedAsHexEscapes)
{
    const QString doc = docPath(QStringLiteral("controls.rdb"));
    const QString red = QStringLiteral("red\x1b[31m\x7f\u009b\u00a0end");
    test::writeDocument(doc,
        {NodeRow(QStringLiteral("0"), QStringLiteral("my\x07Root"), QStringLiteral("kRoot"))},
        {item(QStringLiteral("kRoot"), red, QStringLiteral("http://x\x01/"), 0,
            QStringLiteral("a\tb\x1f"
                           "c"))});
    const Outcome listed = runCli({QStringLiteral("list"), doc});
    ASSERT_EQ(listed.status, cli::Success) << listed.err.toStdString();
    EXPECT_EQ(lines(listed.out),
        QStringList {QStringLiteral("my\\x07Root\tred\\x1B[31m\\x7F\\x9B\u00a0end\t"
                                    "http://x\\x01/\t2024-01-02\ta\\tb\\x1Fc")});

    const Outcome missing = runCli({QStringLiteral("find"), doc, QStringLiteral("\x1b]0;x\x07")});
    EXPECT_EQ(missing.status, cli::NothingFound);
    EXPECT_EQ(missing.err.trimmed(), QStringLiteral("\"\\x1B]0;x\\x07\" could not be found."));
    EXPECT_TRUE(cli::usageText().contains(QStringLiteral("\\xHH")));
}

// Work a Quillet session left unsaved is its user's to keep or discard:
// reading commands show the document as last saved and say so, import
// refuses, and the file never changes.
TEST(Cli, UnsavedWorkOfAStoppedSessionIsNeverCommitted)
{
    const QString doc = sampleDocument(true);
    const QByteArray before = test::fileBytes(doc);
    const QString note = QStringLiteral(
        "holds changes a Quillet session left unsaved (1 bookmark added and 1 deleted)");

    const Outcome listed = runCli({QStringLiteral("list"), doc});
    ASSERT_EQ(listed.status, cli::Success) << listed.err.toStdString();
    EXPECT_TRUE(listed.out.contains(QStringLiteral("Tools\\/Misc\tOld saw")));
    EXPECT_FALSE(listed.out.contains(QStringLiteral("New desk")));
    EXPECT_TRUE(listed.err.contains(note)) << listed.err.toStdString();
    EXPECT_EQ(
        runCli({QStringLiteral("find"), doc, QStringLiteral("desk")}).status, cli::NothingFound);
    const Outcome exported = runCli({QStringLiteral("export-html"), doc});
    EXPECT_TRUE(exported.out.contains(QStringLiteral("Old saw")));
    EXPECT_FALSE(exported.out.contains(QStringLiteral("New desk")));

    const QString target = docPath(QStringLiteral("copy.dbk"));
    ASSERT_EQ(runCli({QStringLiteral("backup"), doc, target}).status, cli::Success);
    EXPECT_EQ(test::itemRows(target),
        QStringList({QStringLiteral("Garden:0"), QStringLiteral("Hammer:0"),
            QStringLiteral("Alpha:0"), QStringLiteral("Old saw:0"), QStringLiteral("Lost:0")}));

    const QString html = docPath(QStringLiteral("in.html"));
    test::writeFileBytes(html, "<DL><DT><A HREF=\"http://new.test\">New</A></DL>");
    const Outcome imported = runCli({QStringLiteral("import-html"), doc, html});
    EXPECT_EQ(imported.status, cli::UnsavedWork);
    EXPECT_TRUE(imported.err.contains(note)) << imported.err.toStdString();
    EXPECT_EQ(runCli({QStringLiteral("import"), doc, html}).status, cli::UnsavedWork);
    EXPECT_EQ(test::fileBytes(doc), before);
}

TEST(Cli, RefusesADocumentHeldOpenElsewhere)
{
    const QString doc = sampleDocument();
    const QString target = docPath(QStringLiteral("held.dbk"));
    QFile::copy(doc, target);
    for (const QString &held : {doc, target}) {
        QProcess holder;
        holder.start(QStringLiteral(QUILLET_HELPER_hold_document), {held});
        ASSERT_TRUE(holder.waitForReadyRead(20000));
        ASSERT_EQ(holder.readLine().trimmed(), QByteArray("ready"));
        const QByteArray before = test::fileBytes(held);

        const Outcome refused = held == doc
            ? runCli({QStringLiteral("list"), doc})
            : runCli({QStringLiteral("backup"), QStringLiteral("--force"), doc, target});
        EXPECT_EQ(refused.status, cli::DocumentInUse);
        EXPECT_TRUE(refused.out.isEmpty());
        EXPECT_TRUE(refused.err.contains(QStringLiteral("is open in Quillet or another program")))
            << refused.err.toStdString();
        holder.kill();
        holder.waitForFinished();
        EXPECT_EQ(test::fileBytes(held), before);
    }
}

TEST(Cli, BackupIsACompactedCopyAsSaved)
{
    const QString doc = sampleDocument();
    const QByteArray before = test::fileBytes(doc);
    const QString target = docPath(QStringLiteral("copy.dbk"));

    Outcome backup = runCli({QStringLiteral("backup"), doc, target});
    ASSERT_EQ(backup.status, cli::Success) << backup.err.toStdString();
    EXPECT_EQ(test::fileBytes(doc), before);
    EXPECT_TRUE(store::canOpenDatabase(target));
    EXPECT_EQ(test::itemRows(target),
        QStringList({QStringLiteral("Garden:0"), QStringLiteral("Hammer:0"),
            QStringLiteral("Alpha:0"), QStringLiteral("New desk:0"), QStringLiteral("Lost:0")}));
    EXPECT_EQ(test::nodeRows(target), test::nodeRows(doc));
    EXPECT_EQ(
        runCli({QStringLiteral("list"), target}).out, runCli({QStringLiteral("list"), doc}).out);
    EXPECT_TRUE(QDir(common::appHome() + QStringLiteral("/_tmp"))
                    .entryList({QStringLiteral("*.rdb")}, QDir::Files)
                    .isEmpty());

    // An existing target is only replaced when asked to; the document never.
    backup = runCli({QStringLiteral("backup"), doc, target});
    EXPECT_EQ(backup.status, cli::Failed);
    EXPECT_TRUE(backup.err.contains(QStringLiteral("--force")));
    EXPECT_EQ(
        runCli({QStringLiteral("backup"), QStringLiteral("-f"), doc, target}).status, cli::Success);
    EXPECT_EQ(runCli({QStringLiteral("backup"), QStringLiteral("--force"), doc, doc}).status,
        cli::Failed);
    EXPECT_EQ(test::fileBytes(doc), before);
}

TEST(Cli, HtmlImportIsSavedAtOnceAndExportRoundTrips)
{
    const QString doc = docPath(QStringLiteral("source.rdb"));
    test::writeDocument(doc,
        {NodeRow(QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot")),
            NodeRow(
                QStringLiteral("kRoot"), QStringLiteral("News & <Views>"), QStringLiteral("K1"))},
        {item(QStringLiteral("kRoot"), QStringLiteral("Top"), QStringLiteral("http://top.test")),
            item(QStringLiteral("K1"), QStringLiteral("Zeitung \"äöü\""),
                QStringLiteral("http://z.test/?a=1&b=2"), 0, QStringLiteral("<b>not bold</b>"))});
    const QString html = docPath(QStringLiteral("bookmarks.html"));
    ASSERT_EQ(runCli({QStringLiteral("export-html"), doc, html}).status, cli::Success);

    const QString other = docPath(QStringLiteral("other.rdb"));
    test::writeDocument(other,
        {NodeRow(QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot"))},
        {});
    const Outcome imported = runCli({QStringLiteral("import-html"), other, html});
    ASSERT_EQ(imported.status, cli::Success) << imported.err.toStdString();
    EXPECT_TRUE(imported.out.startsWith(QStringLiteral("2 bookmarks imported")));
    // Saved: nothing pending, the new heading in tbNodes.
    for (const QString &row : test::itemRows(other))
        EXPECT_TRUE(row.endsWith(QStringLiteral(":0"))) << row.toStdString();
    EXPECT_EQ(test::nodeRows(other).size(), 2);
    EXPECT_EQ(
        runCli({QStringLiteral("list"), other}).out, runCli({QStringLiteral("list"), doc}).out);

    // To standard output when no file is given.
    const Outcome exported = runCli({QStringLiteral("export-html"), doc});
    EXPECT_EQ(exported.out.toUtf8(), test::fileBytes(html));
    EXPECT_EQ(runCli({QStringLiteral("export-html"), doc, doc}).status, cli::Failed);
}

// import tells a browser's file by its content, saves at once as import-html
// does, and refuses a file of no format it knows and the document itself.
TEST(Cli, ImportTellsEachBrowsersFileByItsContent)
{
    const QString doc = docPath(QStringLiteral("imported.rdb"));
    test::writeDocument(doc,
        {NodeRow(QStringLiteral("0"), QStringLiteral("my Favroites"), QStringLiteral("kRoot"))},
        {});
    // Named as no browser names them: the content decides.
    const QString chromium = docPath(QStringLiteral("from-chromium"));
    const QString places = docPath(QStringLiteral("from-firefox"));
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(QUILLET_FUZZ_CORPUS "/chromium_json/corpus/profile"), chromium));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLET_FUZZ_CORPUS "/places/corpus/profile"), places));

    Outcome imported = runCli({QStringLiteral("import"), doc, chromium});
    ASSERT_EQ(imported.status, cli::Success) << imported.err.toStdString();
    EXPECT_EQ(
        imported.out, QStringLiteral("2 bookmarks imported, 0 already there, 2 headings added.\n"));
    EXPECT_TRUE(imported.err.contains(QStringLiteral("\"separator\" was left out")));
    imported = runCli({QStringLiteral("import"), doc, places});
    ASSERT_EQ(imported.status, cli::Success) << imported.err.toStdString();
    EXPECT_TRUE(imported.err.contains(QStringLiteral("saved searches")));
    for (const QString &row : test::itemRows(doc))
        EXPECT_TRUE(row.endsWith(QStringLiteral(":0"))) << row.toStdString();
    QStringList listed;
    for (const QString &line : lines(runCli({QStringLiteral("list"), doc}).out))
        listed << line.section(QLatin1Char('\t'), 0, 2);
    EXPECT_EQ(listed,
        QStringList({QStringLiteral("my Favroites/Bookmarks bar\tQt\thttps://qt.io/?a=1&b=2"),
            QStringLiteral("my Favroites/Bookmarks bar/News\tLWN\thttps://lwn.net/"),
            QStringLiteral("my Favroites/Bookmarks Menu/Sub\tMozilla\thttps://mozilla.org/")}));

    const QByteArray before = test::fileBytes(doc);
    const QString text = docPath(QStringLiteral("notes.html"));
    test::writeFileBytes(text, "<p>Not a list of bookmarks.</p>");
    const QList<std::pair<QString, QString>> refusals {
        {text,
            QStringLiteral("is not a bookmark file quillet-cli can import (bookmark HTML file, ")},
        {doc, QStringLiteral("file already in use")},
        {docPath(QStringLiteral("none")), QStringLiteral("Can not read")}};
    for (const auto &[file, message] : refusals) {
        const Outcome refused = runCli({QStringLiteral("import"), doc, file});
        EXPECT_EQ(refused.status, cli::Failed);
        EXPECT_TRUE(refused.err.contains(message)) << refused.err.toStdString();
        EXPECT_TRUE(refused.out.isEmpty());
    }
    EXPECT_EQ(test::fileBytes(doc), before);
}

TEST(Cli, BadCommandLinesAndFilesGetTheirOwnStatus)
{
    const QString doc = sampleDocument();
    const QList<QStringList> usageErrors {{}, {QStringLiteral("list")},
        {QStringLiteral("list"), doc, doc}, {QStringLiteral("frobnicate"), doc},
        {QStringLiteral("list"), QStringLiteral("--bogus"), doc},
        {QStringLiteral("list"), QStringLiteral("--force"), doc},
        {QStringLiteral("find"), doc, QStringLiteral("  ")}, {QStringLiteral("backup"), doc},
        {QStringLiteral("import"), doc, QStringLiteral("-")}};
    for (const QStringList &arguments : usageErrors) {
        const Outcome outcome = runCli(arguments);
        EXPECT_EQ(outcome.status, cli::UsageError) << arguments.join(' ').toStdString();
        EXPECT_TRUE(outcome.err.contains(QStringLiteral("--help")));
        EXPECT_TRUE(outcome.out.isEmpty());
    }
    const Outcome help = runCli({QStringLiteral("--help")});
    EXPECT_EQ(help.status, cli::Success);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: quillet-cli")));
    // A text that looks like an option, after "--".
    EXPECT_EQ(
        runCli({QStringLiteral("find"), doc, QStringLiteral("--"), QStringLiteral("-x")}).status,
        cli::NothingFound);

    const QString foreign = docPath(QStringLiteral("foreign.rdb"));
    QFile file(foreign);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'x'));
    file.close();
    for (const QString &path : {foreign, docPath(QStringLiteral("missing.rdb"))}) {
        const Outcome outcome = runCli({QStringLiteral("list"), path});
        EXPECT_EQ(outcome.status, cli::Failed);
        EXPECT_TRUE(outcome.err.startsWith(QStringLiteral("quillet-cli: ")));
    }
    EXPECT_EQ(test::fileBytes(foreign), QByteArray(8192, 'x'));
}

TEST(CliBinary, ExitStatusesOfTheRealProgram)
{
    const QString doc = sampleDocument();
    const auto run = [](const QStringList &arguments, QByteArray *out = nullptr) {
        QProcess cli;
        cli.start(QStringLiteral(QUILLET_CLI), arguments);
        cli.closeWriteChannel();
        EXPECT_TRUE(cli.waitForFinished(30000));
        if (out)
            *out = cli.readAllStandardOutput();
        return cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    };
    QByteArray out;
    EXPECT_EQ(run({QStringLiteral("list"), doc}, &out), 0);
    EXPECT_EQ(out.count('\n'), 4);
    EXPECT_TRUE(out.contains("Tools\\/Misc\tHammer"));
    // Without a QGuiApplication, as scripts run it.
    EXPECT_EQ(run({QStringLiteral("find"), doc, QStringLiteral("hammer")}, &out), 0);
    EXPECT_EQ(out.count('\n'), 1);
    EXPECT_EQ(run({QStringLiteral("find"), doc, QStringLiteral("nowhere")}), 1);
    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(run({QStringLiteral("list"), docPath(QStringLiteral("missing.rdb"))}), 4);

    QProcess holder;
    holder.start(QStringLiteral(QUILLET_HELPER_hold_document), {doc});
    ASSERT_TRUE(holder.waitForReadyRead(20000));
    EXPECT_EQ(run({QStringLiteral("list"), doc}), 3);
    holder.kill();
    holder.waitForFinished();
}

TEST(Cli, BackupAndExportOntoALinkReplaceTheFileItNames)
{
    const QString doc = sampleDocument();
    const QString synced = docPath(QStringLiteral("synced"));
    QDir().mkpath(synced);
    for (const QString &name : {QStringLiteral("link.dbk"), QStringLiteral("link.html")}) {
        const QString real = synced + QLatin1Char('/') + name;
        test::writeFileBytes(real, "old");
        ASSERT_TRUE(QFile::link(real, docPath(name)));
    }
    const Outcome backup = runCli({QStringLiteral("backup"), QStringLiteral("--force"), doc,
        docPath(QStringLiteral("link.dbk"))});
    ASSERT_EQ(backup.status, cli::Success) << backup.err.toStdString();
    const Outcome exported
        = runCli({QStringLiteral("export-html"), doc, docPath(QStringLiteral("link.html"))});
    ASSERT_EQ(exported.status, cli::Success) << exported.err.toStdString();

    EXPECT_TRUE(QFileInfo(docPath(QStringLiteral("link.dbk"))).isSymLink());
    EXPECT_TRUE(QFileInfo(docPath(QStringLiteral("link.html"))).isSymLink());
    EXPECT_EQ(test::itemRows(synced + QStringLiteral("/link.dbk")).size(), 5);
    EXPECT_TRUE(test::fileBytes(synced + QStringLiteral("/link.html")).contains("Hammer"));
    EXPECT_EQ(QDir(synced).entryList(QDir::Files),
        QStringList({QStringLiteral("link.dbk"), QStringLiteral("link.html")}));
}

TEST(CliBinary, OutputThatCannotBeWrittenIsAFailure)
{
    const QString doc = sampleDocument();
    for (const QStringList &arguments :
        {QStringList {QStringLiteral("list"), doc}, QStringList {QStringLiteral("--help")},
            QStringList {QStringLiteral("export-html"), doc}}) {
        QProcess cli;
        cli.setStandardOutputFile(QStringLiteral("/dev/full"));
        cli.start(QStringLiteral(QUILLET_CLI), arguments);
        cli.closeWriteChannel();
        ASSERT_TRUE(cli.waitForFinished(30000));
        EXPECT_EQ(cli.exitCode(), cli::Failed) << arguments.join(' ').toStdString();
        EXPECT_TRUE(cli.readAllStandardError().contains("could not be written"));
    }
}
