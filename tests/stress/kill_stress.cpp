// SPDX-License-Identifier: GPL-3.0-or-later
// Kills a child process with SIGKILL at random moments while it runs one of
// the commands that write a document, then opens what is left: every file
// must open, load, pass the engine's full integrity check and hold exactly
// its state from before the command or from after it. In every other run a
// second process (quillet-cli list) tries the document at a random moment
// while the child works on it, and must be refused. Then the next start is
// tried both ways: the question about unsaved work comes exactly when work
// was pending, "keep" and Save give the rows that were shown, "discard" the
// rows as last saved, and no row is left without its heading.
//
//   kill_stress [--kills N] [--small] [--seed S] [--only a,b] [--keep]
//
// Prints one line of figures per command; the exit code is 1 when any run
// left a file in another state.
#include "ScopedEnvironment.h"
#include "ScriptedPlatform.h"
#include "core/browsers/BookmarkFormats.h"
#include "core/cli/CliCommands.h"
#include "core/favorites/FavoritesExchange.h"
#include "core/outline/BookmarkList.h"
#include "core/outline/HeadingOperations.h"
#include "core/outline/HeadingTreeStorage.h"
#include "core/outline/Workspace.h"
#include "core/pages/HelpFileBuilder.h"
#include "core/shell/DatabaseMaintenance.h"
#include "core/shell/DocumentLifecycle.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"
#include "core/store/Schema.h"
#include "core/store/Statement.h"

#include <QCommandLineParser>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <limits>
#include <map>
#include <random>
#include <sqlite3.h>

using namespace quillet;

namespace {

// Sizes of the document every run starts from.
struct Sizes
{
    int pasted = 5000; // bookmarks under "src", copied to "dst"
    int big = 50000; // bookmarks under "big", deleted with it
    int root = 2000; // committed, added and removed rows under the root
};

const QString kDocument = QStringLiteral("doc.rdb");
const QString kTarget = QStringLiteral("target.rdb");
const QString kBackup = QStringLiteral("backup.dbk");
const QString kHelpFile = QStringLiteral("help.chm");

QString targetOf(const QString &command)
{
    if (command == QLatin1String("saveas"))
        return kTarget;
    if (command == QLatin1String("backup") || command == QLatin1String("clibackup"))
        return kBackup;
    if (command == QLatin1String("helpcopy"))
        return kHelpFile;
    return QString();
}

// Files the commands read, made once by the parent: a browser bookmark file,
// and an old and a new help file.
QString inputFile(const QString &name)
{
    return qEnvironmentVariable("QUILLET_STRESS_INPUT") + QLatin1Char('/') + name;
}

void writeInputs(const QString &folder, int bookmarks)
{
    QFile html(folder + QStringLiteral("/bookmarks.html"));
    if (html.open(QIODevice::WriteOnly)) {
        QByteArray text
            = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n<DL><p>\n";
        for (int i = 0; i < bookmarks; ++i) {
            if (i % 100 == 0)
                text += (i ? "</DL><p>\n" : "") + QByteArray("<DT><H3>Folder ")
                    + QByteArray::number(i / 100) + "</H3>\n<DL><p>\n";
            text += "<DT><A HREF=\"http://example.net/" + QByteArray::number(i) + "\">Imported "
                + QByteArray::number(i) + "</A>\n";
        }
        text += "</DL><p>\n</DL><p>\n";
        html.write(text);
    }
    std::mt19937 random(7);
    for (const auto &[name, megabytes] : {std::pair {"old.chm", 1}, std::pair {"new.chm", 16}}) {
        QFile file(folder + QLatin1Char('/') + QLatin1String(name));
        if (!file.open(QIODevice::WriteOnly))
            continue;
        QByteArray block(1 << 20, Qt::Uninitialized);
        for (int m = 0; m < megabytes; ++m) {
            for (char &c : block)
                c = static_cast<char>(random());
            file.write(block);
        }
    }
}

void exec(store::Database &db, const QString &sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db.handle(), sql.toUtf8().constData(), nullptr, nullptr, &error)
        != SQLITE_OK) {
        const std::string message = error ? error : "?";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}

// A Favorites folder of `folders` sub-folders with `files` shortcuts each.
void writeFavorites(const QString &folder, int folders, int files)
{
    for (int f = 0; f < folders; ++f) {
        const QString sub = folder + QStringLiteral("/Folder %1").arg(f);
        QDir().mkpath(sub);
        for (int i = 0; i < files; ++i) {
            QFile file(sub + QStringLiteral("/Link %1.url").arg(i));
            if (file.open(QIODevice::WriteOnly))
                file.write(QStringLiteral("[InternetShortcut]\r\nURL=http://example.org/%1/%2\r\n")
                               .arg(f)
                               .arg(i)
                               .toUtf8());
        }
    }
}

// With `unsaved`, a third of the root's rows are pending as a session that
// never saved left them.
void writeBaseDocument(const QString &path, const Sizes &sizes, bool unsaved = true)
{
    store::createEmptyDatabase(path);
    auto db = store::Database::open(path, store::openConnectString());
    exec(*db,
        QStringLiteral(
            "BEGIN;"
            "INSERT INTO tbTips (Version) VALUES ('3.0');"
            "INSERT INTO tbNodes (Parent, Title, Key, Image, expImage) VALUES"
            " ('0', 'my Favroites', 'kRoot', 1, 2), ('kRoot', 'Source', 'src', 3, 4),"
            " ('kRoot', 'Target', 'dst', 3, 4), ('kRoot', 'Big', 'big', 3, 4),"
            " ('big', 'Below big', 'below', 3, 4);"
            "CREATE TEMP TABLE plan (heading, n, flagged);"
            "INSERT INTO plan VALUES ('src', %1, 0), ('big', %2, 0), ('below', 10, 0),"
            " ('kRoot', %3, %5);"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %4)"
            " INSERT INTO tbItems (tKey, lKey, urlName, urlLink, urlDate, urlDescrip, imgFile,"
            " delFlag, urlThumb)"
            " SELECT heading, 'L' || i, heading || ' bookmark ' || i,"
            " 'http://example.com/' || heading || '/' || i, '2024-01-02',"
            " 'Description of ' || i, '', CASE WHEN flagged THEN (i % 3) - 1 ELSE 0 END,"
            " CASE WHEN i % 97 = 0 THEN randomblob(2000) END"
            " FROM plan, n WHERE i <= plan.n;"
            "COMMIT;")
            .arg(sizes.pasted)
            .arg(sizes.big)
            .arg(sizes.root)
            .arg(std::max({sizes.pasted, sizes.big, sizes.root}))
            .arg(unsaved ? 1 : 0));
}

// ---------------------------------------------------------------- child

void announce(const char *line)
{
    std::puts(line);
    std::fflush(stdout);
}

// quillet-cli's commands, run in the child as the program runs them.
int runCliChild(const QString &command, const QString &folder)
{
    const QString document = folder + QLatin1Char('/') + kDocument;
    const QStringList arguments = command == QLatin1String("cliimport")
        ? QStringList {QStringLiteral("import-html"), document,
            inputFile(QStringLiteral("bookmarks.html"))}
        : QStringList {QStringLiteral("backup"), QStringLiteral("--force"), document,
            folder + QLatin1Char('/') + kBackup};
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    announce("ready");
    const int status = cli::run(arguments, outStream, errStream);
    announce("done");
    errStream.flush();
    if (status != cli::Success) {
        std::printf("failed: %s\n", qPrintable(err));
        return 4;
    }
    return 0;
}

int runChild(const QString &command, const QString &folder)
{
    if (command.startsWith(QLatin1String("cli")))
        return runCliChild(command, folder);
    if (command == QLatin1String("helpcopy")) {
        announce("ready");
        try {
            pages::HelpFileBuilder::copyHelpFile(
                inputFile(QStringLiteral("new.chm")), folder + QLatin1Char('/') + kHelpFile);
        } catch (const store::EngineError &e) {
            std::printf("failed: %s\n", qPrintable(e.description()));
            return 4;
        }
        announce("done");
        return 0;
    }

    test::ScriptedMessageBoxes messages;
    test::ScriptedFileDialogs dialogs;
    test::RecordingDesktop desktop;
    test::RecordingDescription description;
    test::RecordingStatus status;
    test::RecordingProgress progress;
    outline::Workspace ws({&messages, &dialogs, &desktop, &description, &status, &progress});
    shell::DocumentLifecycle life(ws);
    const QString path = folder + QLatin1Char('/') + kDocument;
    if (!life.loadDocument(path, nullptr))
        return 3;
    store::Document &doc = ws.document();
    doc.setTitledName(path);
    const QString target = folder + QLatin1Char('/') + targetOf(command);
    shell::DatabaseMaintenance maintenance(ws);
    outline::HeadingOperations headings(ws);
    std::function<void()> work;

    if (command == QLatin1String("save")) {
        ws.tree().appendHeading(
            ws.tree().root(), QStringLiteral("Added"), QStringLiteral("new"), 3, 4);
        doc.setModified(true);
        work = [&] { life.save(); };
    } else if (command == QLatin1String("discard")) {
        doc.setModified(true);
        work = [&] { life.discard(); };
    } else if (command == QLatin1String("saveas")) {
        doc.setModified(true);
        dialogs.choose(target);
        work = [&] { life.fileSaveAs(); };
    } else if (command == QLatin1String("paste")) {
        ws.list().refill(QStringLiteral("src"), doc.database());
        ws.list().selectAll();
        ws.list().copyBookmarks(QStringLiteral("src"));
        ws.list().refill(QStringLiteral("dst"), doc.database());
        work = [&] { ws.list().pasteBookmarks(QStringLiteral("dst")); };
    } else if (command == QLatin1String("deleteheading")) {
        ws.tree().setCurrent(ws.tree().findByKey(QStringLiteral("big")));
        work = [&] { headings.deleteHeading(); };
    } else if (command == QLatin1String("backup")) {
        dialogs.choose(target);
        work = [&] { maintenance.backup(); };
    } else if (command == QLatin1String("compact")) {
        work = [&] { maintenance.compact(); };
    } else if (command == QLatin1String("import")) {
        work = [&] { favorites::FavoritesExchange(ws, life).importFavorites(nullptr); };
    } else if (command == QLatin1String("syncfrom")) {
        messages.answer(platform::MessageAnswer::Yes);
        work = [&] { favorites::FavoritesExchange(ws, life).synchronizeFromFavorites(); };
    } else if (command == QLatin1String("browserimport")) {
        work = [&] {
            const browsers::ImportResult result = browsers::importBookmarks(*doc.database(),
                ws.tree(), ws.tree().root(), *browsers::bookmarkFormat("html"),
                inputFile(QStringLiteral("bookmarks.html")), nullptr);
            if (!result.ok())
                messages.show(result.error, platform::MessageIcon::Critical,
                    platform::MessageButtons::Ok, QString());
        };
    } else {
        return 2;
    }
    announce("ready");
    work();
    announce("done");
    // A command that failed says so in a message box; with nothing shown
    // but its own success message, it ran through.
    int exitCode = 0;
    for (const test::ScriptedMessageBoxes::Shown &shown : messages.shown) {
        if (shown.icon == platform::MessageIcon::Critical) {
            std::printf("failed: %s\n", qPrintable(shown.text));
            std::fflush(stdout);
            exitCode = 4;
            break;
        }
    }
    // The document stays open, as in a window, until the parent lets go.
    std::string line;
    while (std::getline(std::cin, line)) { }
    return exitCode;
}

// ---------------------------------------------------------------- parent

// "K" + digits: a key drawn at random (the base document has none).
bool isDrawnKey(const QByteArray &value)
{
    return value.size() > 1 && value[0] == 'K'
        && std::all_of(value.begin() + 1, value.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// What a file holds, as far as the user can tell: every row of every table,
// each value with its type. "absent" when there is no file.
QString stateOf(const QString &path, QString *problem)
{
    if (!QFileInfo::exists(path))
        return QStringLiteral("absent");
    try {
        // The way the program opens a file from elsewhere: with its check,
        // then the tree as the load reads it.
        auto db = store::openDocumentDatabase(path);
        outline::HeadingTreeModel tree;
        outline::loadHeadingTree(*db, tree, nullptr);
        {
            store::Statement check(*db, QStringLiteral("PRAGMA integrity_check"));
            if (!check.next() || check.text(0) != QLatin1String("ok")) {
                *problem = QStringLiteral("integrity check: ") + check.text(0);
                return QString();
            }
        }
        // List keys are drawn at random by paste, heading keys and the order
        // of rows by the import: they name no state. Rows are compared as a
        // set, without list keys, and a heading key not in the file's tree
        // counts as "new".
        QSet<QByteArray> treeKeys;
        QList<QByteArray> rows;
        for (const char *sql : {"SELECT 'tips', * FROM tbTips", "SELECT 'node', * FROM tbNodes",
                 "SELECT 'item', tKey, urlName, urlLink, urlDate, urlDescrip, imgFile, delFlag, "
                 "urlThumb FROM tbItems"}) {
            sqlite3_stmt *stmt = nullptr;
            sqlite3_prepare_v2(db->handle(), sql, -1, &stmt, nullptr);
            int rc;
            while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
                const bool node = qstrcmp(sql, "SELECT 'node', * FROM tbNodes") == 0;
                const bool item = !node && sqlite3_column_count(stmt) == 9;
                QByteArray row;
                for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                    const auto *data = static_cast<const char *>(sqlite3_column_blob(stmt, c));
                    QByteArray value(data, sqlite3_column_bytes(stmt, c));
                    if (node && c == 4)
                        treeKeys.insert(value);
                    if (item && c == 1 && !treeKeys.contains(value))
                        value = "new";
                    // Headings a command adds and saves get drawn keys too.
                    if ((node || item) && isDrawnKey(value))
                        value = "K?";
                    row += static_cast<char>('0' + sqlite3_column_type(stmt, c)) + value + '\x1f';
                }
                rows << row;
            }
            sqlite3_finalize(stmt);
            if (rc != SQLITE_DONE) {
                *problem = QStringLiteral("reading failed: ") + QLatin1String(sql);
                return QString();
            }
        }
        std::sort(rows.begin(), rows.end());
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (const QByteArray &row : rows)
            hash.addData(row + '\x1e');
        return QString::fromLatin1(hash.result().toHex().left(12));
    } catch (const std::exception &e) {
        *problem = QString::fromUtf8(e.what());
        return QString();
    }
}

// What a plain file holds: a digest of its bytes; "absent" when missing.
QString bytesStateOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("absent");
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&file);
    return QString::fromLatin1(hash.result().toHex().left(12));
}

QString targetStateOf(const QString &path, QString *problem)
{
    return path.endsWith(QLatin1String(".chm")) ? bytesStateOf(path) : stateOf(path, problem);
}

// Rows as the user sees them, without their places (list keys are drawn at
// random, and kept rows may move under "Recovered"), sorted.
QStringList rowsOf(store::Database &db, const QString &where)
{
    QStringList rows;
    store::Statement s(db,
        QStringLiteral("SELECT urlName, urlLink, urlDate, urlDescrip, imgFile, hex(urlThumb) "
                       "FROM tbItems WHERE ")
            + where);
    while (s.next()) {
        QString row;
        for (int c = 0; c < 6; ++c)
            row += s.text(c) + QLatin1Char('\x1f');
        rows << row;
    }
    rows.sort();
    return rows;
}

const QString kOrphan = QStringLiteral("tKey NOT IN (SELECT Key FROM tbNodes)");

// The next start after a kill, answered both ways on copies of the file:
// the question comes exactly when work was pending; "keep" then Save gives
// the rows that were shown, "discard" the rows as saved; every row is left
// under a heading of the tree. Empty when all holds.
QString checkRecovery(const QString &killed, const QString &folder, bool *asked)
{
    QStringList shown;
    QStringList saved;
    bool pending = false;
    try {
        auto db = store::openDocumentDatabase(killed);
        pending = !store::BookmarkTable(*db).pendingSummary().isEmpty();
        shown = rowsOf(*db, QStringLiteral("delFlag <> -1"));
        saved = rowsOf(*db,
            QStringLiteral("delFlag = 0 OR (delFlag = -1 AND NOT ") + kOrphan + QLatin1Char(')'));
    } catch (const std::exception &e) {
        return QStringLiteral("recovery: ") + QString::fromUtf8(e.what());
    }
    *asked = pending;
    for (const bool keep : {true, false}) {
        const QString copy
            = folder + (keep ? QStringLiteral("/kept.rdb") : QStringLiteral("/discarded.rdb"));
        QFile::copy(killed, copy);
        const QString answer = keep ? QStringLiteral("keep") : QStringLiteral("discard");
        test::ScriptedMessageBoxes messages;
        messages.answer(keep ? platform::MessageAnswer::Yes : platform::MessageAnswer::No);
        {
            outline::Workspace ws({&messages, nullptr, nullptr, nullptr, nullptr, nullptr});
            shell::DocumentLifecycle life(ws);
            if (!life.loadDocument(copy, nullptr))
                return QStringLiteral("recovery: the document did not load");
            if ((messages.shown.size() == 1) != pending)
                return QStringLiteral("recovery: %1 questions for %2 pending work")
                    .arg(messages.shown.size())
                    .arg(pending ? QStringLiteral("some") : QStringLiteral("no"));
            if (keep && !life.save())
                return QStringLiteral("recovery: Save after keep failed");
            ws.document().closeDatabase();
        }
        try {
            auto db = store::openDocumentDatabase(copy);
            if (!rowsOf(*db, QStringLiteral("delFlag <> 0 OR ") + kOrphan).isEmpty())
                return QStringLiteral("recovery: pending or orphan rows after ") + answer;
            if (rowsOf(*db, QStringLiteral("1 = 1")) != (keep ? shown : saved))
                return QStringLiteral("recovery: other rows after ") + answer;
        } catch (const std::exception &e) {
            return QStringLiteral("recovery after ") + answer + QStringLiteral(": ")
                + QString::fromUtf8(e.what());
        }
        QFile::remove(copy);
    }
    return QString();
}

struct Outcome
{
    bool finished = false; // the command was done before the kill
    QString document;
    QString target;
    QString problem;
    int leftovers = 0;
    bool intruded = false; // a second process tried the document
    bool intruderRefused = false;
    bool asked = false; // the next start asked about unsaved work
};

class Runner
{
public:
    Runner(QString self, QString base, bool keep)
        : m_self(std::move(self))
        , m_base(std::move(base))
        , m_keep(keep)
    {
    }

    // Copies the base document into a fresh folder and runs `command` there;
    // a negative delay lets it finish. `elapsedMicros` gets the time from
    // "ready" to "done" or to the kill. A second process tries the document
    // `intrudeAfterMicros` after "ready" (never when negative); the kill
    // waits until it is through.
    Outcome run(const QString &command, qint64 killAfterMicros, qint64 *elapsedMicros,
        qint64 intrudeAfterMicros = -1)
    {
        QTemporaryDir dir(m_workRoot.path() + QStringLiteral("/run-XXXXXX"));
        dir.setAutoRemove(!m_keep);
        const QString folder = dir.path();
        QFile::copy(m_base, folder + QLatin1Char('/') + kDocument);
        QDir().mkpath(folder + QStringLiteral("/home"));
        // The help file replaces an earlier copy.
        if (command == QLatin1String("helpcopy"))
            QFile::copy(
                inputFile(QStringLiteral("old.chm")), folder + QLatin1Char('/') + kHelpFile);

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUILLET_HOME"), folder + QStringLiteral("/home"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(m_self, {QStringLiteral("--child"), command, folder});
        Outcome outcome;
        if (!waitForLine(child, "ready", 120000)) {
            outcome.problem = QStringLiteral("child did not get ready: ")
                + QString::fromUtf8(m_output).trimmed();
            child.kill();
            child.waitForFinished();
            return outcome;
        }
        QElapsedTimer clock;
        clock.start();
        if (killAfterMicros >= 0) {
            QProcess intruder;
            const QString document = folder + QLatin1Char('/') + kDocument;
            while (clock.nsecsElapsed() / 1000 < killAfterMicros && !m_output.contains("done")) {
                const qint64 now = clock.nsecsElapsed() / 1000;
                if (intrudeAfterMicros >= 0 && now >= intrudeAfterMicros && !outcome.intruded) {
                    outcome.intruded = true;
                    intruder.start(QStringLiteral(QUILLET_CLI), {QStringLiteral("list"), document});
                }
                const qint64 next = intrudeAfterMicros > now && !outcome.intruded
                    ? std::min(killAfterMicros, intrudeAfterMicros)
                    : killAfterMicros;
                child.waitForReadyRead(static_cast<int>(std::min<qint64>((next - now) / 1000, 5)));
                m_output += child.readAllStandardOutput();
            }
            if (outcome.intruded) {
                intruder.waitForFinished(60000);
                // Save As lets the old file go once it is done; any other
                // command holds it throughout.
                outcome.intruderRefused
                    = intruder.exitStatus() == QProcess::NormalExit && intruder.exitCode() == 3;
                if (!outcome.intruderRefused && command == QLatin1String("saveas")
                    && m_output.contains("done"))
                    outcome.intruderRefused = true;
            }
            child.kill();
            child.waitForFinished();
            m_output += child.readAllStandardOutput();
        } else {
            waitForLine(child, "done", 600000);
            child.closeWriteChannel();
            child.waitForFinished(600000);
            m_output += child.readAllStandardOutput();
            if (child.exitCode() != 0)
                outcome.problem
                    = QStringLiteral("command failed: ") + QString::fromUtf8(m_output).trimmed();
        }
        *elapsedMicros = clock.nsecsElapsed() / 1000;
        outcome.finished = m_output.contains("done");

        QString problem;
        outcome.document = stateOf(folder + QLatin1Char('/') + kDocument, &problem);
        if (!targetOf(command).isEmpty())
            outcome.target = targetStateOf(folder + QLatin1Char('/') + targetOf(command), &problem);
        if (!problem.isEmpty() && outcome.problem.isEmpty())
            outcome.problem = problem;
        outcome.leftovers = leftoverFiles(folder);
        if (killAfterMicros >= 0 && outcome.problem.isEmpty())
            outcome.problem
                = checkRecovery(folder + QLatin1Char('/') + kDocument, folder, &outcome.asked);
        return outcome;
    }

private:
    bool waitForLine(QProcess &child, const char *line, int timeoutMs)
    {
        m_output.clear();
        QElapsedTimer clock;
        clock.start();
        while (!m_output.contains(line)) {
            if (child.state() == QProcess::NotRunning || clock.elapsed() > timeoutMs)
                return false;
            child.waitForReadyRead(100);
            m_output += child.readAllStandardOutput();
        }
        if (qstrcmp(line, "ready") == 0)
            m_output.clear();
        return true;
    }

    // Work files a killed command leaves behind (the document itself, its
    // target and the application home's settings are not counted).
    static int leftoverFiles(const QString &folder)
    {
        int count = 0;
        const QStringList expected = {kDocument, kTarget, kBackup, kHelpFile};
        for (const QString &name : QDir(folder).entryList(QDir::Files))
            count += expected.contains(name) ? 0 : 1;
        count += static_cast<int>(
            QDir(folder + QStringLiteral("/home/_tmp")).entryList(QDir::Files).size());
        return count;
    }

    QString m_self;
    QString m_base;
    bool m_keep;
    QTemporaryDir m_workRoot;
    QByteArray m_output;
};

struct Figures
{
    int runs = 0;
    int killedDuring = 0;
    int finished = 0;
    std::map<QString, int> states; // "document/target" names -> runs
    int failures = 0;
    int leftovers = 0;
    int intruders = 0;
    int intrudersRefused = 0;
    int asked = 0; // next starts that asked about unsaved work
    QStringList problems;
};

int runParent(const QStringList &commands, int kills, const Sizes &sizes, quint32 seed, bool keep)
{
    QTemporaryDir baseDir;
    // The heading of 50,000 bookmarks only where it is deleted: it would
    // slow every other run down.
    const QString full = baseDir.path() + QStringLiteral("/full.rdb");
    const QString lean = baseDir.path() + QStringLiteral("/lean.rdb");
    writeBaseDocument(full, sizes);
    writeBaseDocument(lean, {sizes.pasted, sizes.big / 100, sizes.root});
    // quillet-cli refuses to write into a document with another session's
    // unsaved work, so its import starts from a settled one.
    const QString settled = baseDir.path() + QStringLiteral("/settled.rdb");
    writeBaseDocument(settled, {sizes.pasted, sizes.big / 100, sizes.root}, false);
    const QString favorites = baseDir.path() + QStringLiteral("/Favorites");
    writeFavorites(favorites, 50, sizes.pasted / 50);
    const test::ScopedEnvironment favoritesFolder("QUILLET_FAVORITES", favorites);
    writeInputs(baseDir.path(), sizes.pasted);
    const test::ScopedEnvironment inputFolder("QUILLET_STRESS_INPUT", baseDir.path());
    std::mt19937 random(seed);
    std::printf("kill stress: %d kills per command, seed %u, %d+%d+%d bookmarks\n", kills, seed,
        sizes.pasted, sizes.big, sizes.root);
    bool allGood = true;
    for (const QString &command : commands) {
        const QString base = command == QLatin1String("deleteheading") ? full
            : command == QLatin1String("cliimport")                    ? settled
                                                                       : lean;
        Runner runner(QCoreApplication::applicationFilePath(), base, keep);
        // Runs to the end give the state after and the command's time (the
        // quickest of three: the first one meets cold caches).
        qint64 micros = std::numeric_limits<qint64>::max();
        Outcome after;
        for (int i = 0; i < 3 && after.problem.isEmpty(); ++i) {
            qint64 took = 0;
            after = runner.run(command, -1, &took);
            micros = std::min(micros, took);
        }
        if (!after.problem.isEmpty()) {
            std::printf("%-14s cannot run: %s\n", qPrintable(command), qPrintable(after.problem));
            allGood = false;
            continue;
        }
        QString problem;
        const QString before = stateOf(base, &problem);
        const QString targetBefore = command == QLatin1String("helpcopy")
            ? bytesStateOf(inputFile(QStringLiteral("old.chm")))
            : QStringLiteral("absent");
        auto name = [&](const QString &state, const QString &was, const QString &now) {
            if (state.isEmpty())
                return QString();
            if (state == was && state == now)
                return QStringLiteral("unchanged");
            if (state == was)
                return QStringLiteral("before");
            return state == now ? QStringLiteral("after") : QString();
        };

        Figures f;
        std::uniform_int_distribution<qint64> when(0, micros);
        for (int i = 0; i < kills; ++i) {
            qint64 elapsed = 0;
            const qint64 killAt = when(random);
            // Copying the help file holds no document, and quillet-cli opens
            // it only inside the command, after it said "ready": a second
            // process may come first.
            const bool holds
                = command != QLatin1String("helpcopy") && !command.startsWith(QLatin1String("cli"));
            const qint64 intrudeAt = holds && i % 2 == 1
                ? std::uniform_int_distribution<qint64>(0, killAt)(random)
                : -1;
            const Outcome o = runner.run(command, killAt, &elapsed, intrudeAt);
            f.intruders += o.intruded ? 1 : 0;
            f.intrudersRefused += o.intruderRefused ? 1 : 0;
            ++f.runs;
            (o.finished ? f.finished : f.killedDuring) += 1;
            f.leftovers += o.leftovers ? 1 : 0;
            f.asked += o.asked ? 1 : 0;
            QString state = name(o.document, before, after.document);
            bool good = o.problem.isEmpty() && !state.isEmpty();
            // Save As lets the old file go once the new one holds the work,
            // which may be before it says "done".
            bool oldFileLetGo = false;
            if (!targetOf(command).isEmpty()) {
                const QString t = name(o.target, targetBefore, after.target);
                good = good && !t.isEmpty();
                state += QLatin1Char('/') + t;
                oldFileLetGo = command == QLatin1String("saveas") && t == QLatin1String("after");
            }
            // A command that said it was done must have left the state after.
            good = good && !(o.finished && state.contains(QLatin1String("before")));
            good = good && (o.intruded == o.intruderRefused || oldFileLetGo);
            if (good) {
                ++f.states[state];
            } else {
                ++f.failures;
                if (f.problems.size() < 3)
                    f.problems << QStringLiteral("run %1: %2 %3 %4")
                                      .arg(i)
                                      .arg(o.problem, o.document, o.target)
                            + (o.intruded && !o.intruderRefused
                                    ? QStringLiteral(" (a second process got in)")
                                    : QString());
            }
        }
        QStringList seen;
        for (const auto &[state, count] : f.states)
            seen << QStringLiteral("%1 %2").arg(state).arg(count);
        std::printf("%-14s %4.0f ms  kills %d (during %d, after done %d)  states: %s  failures %d"
                    "  runs leaving work files %d  second processes refused %d of %d"
                    "  recovery asked %d\n",
            qPrintable(command), static_cast<double>(micros) / 1000, f.runs, f.killedDuring,
            f.finished, qPrintable(seen.join(QStringLiteral(", "))), f.failures, f.leftovers,
            f.intrudersRefused, f.intruders, f.asked);
        for (const QString &p : f.problems)
            std::printf("    %s\n", qPrintable(p));
        std::fflush(stdout);
        allGood = allGood && f.failures == 0;
    }
    return allGood ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    if (!qEnvironmentVariableIsSet("QUILLET_HOME"))
        qputenv("QUILLET_HOME", home.path().toUtf8());
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("--child"))
        return runChild(args.at(2), args.at(3));

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("kills"), QStringLiteral("Kills per command."),
        QStringLiteral("n"), QStringLiteral("100")});
    parser.addOption({QStringLiteral("seed"), QStringLiteral("Random seed."), QStringLiteral("s"),
        QString::number(std::random_device()())});
    parser.addOption({QStringLiteral("only"), QStringLiteral("Commands to run, comma-separated."),
        QStringLiteral("list")});
    parser.addOption({QStringLiteral("small"), QStringLiteral("A small document (quick run).")});
    parser.addOption({QStringLiteral("keep"), QStringLiteral("Keep the run folders.")});
    parser.process(app);

    QStringList commands = {QStringLiteral("save"), QStringLiteral("discard"),
        QStringLiteral("saveas"), QStringLiteral("paste"), QStringLiteral("deleteheading"),
        QStringLiteral("backup"), QStringLiteral("compact"), QStringLiteral("import"),
        QStringLiteral("syncfrom"), QStringLiteral("browserimport"), QStringLiteral("cliimport"),
        QStringLiteral("clibackup"), QStringLiteral("helpcopy")};
    if (parser.isSet(QStringLiteral("only")))
        commands = parser.value(QStringLiteral("only")).split(QLatin1Char(','));
    Sizes sizes;
    if (parser.isSet(QStringLiteral("small")))
        sizes = {500, 5000, 200};
    return runParent(commands, parser.value(QStringLiteral("kills")).toInt(), sizes,
        parser.value(QStringLiteral("seed")).toUInt(), parser.isSet(QStringLiteral("keep")));
}
