// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/cli/CliCommands.h"

#include "core/browsers/BookmarkFormats.h"
#include "core/browsers/BookmarkHtml.h"
#include "core/cli/BookmarkLines.h"
#include "core/common/Strings.h"
#include "core/links/BookmarksToCheck.h"
#include "core/links/LinkChecker.h"
#include "core/outline/HeadingTreeStorage.h"
#include "core/outline/Workspace.h"
#include "core/search/BookmarkFinder.h"
#include "core/shell/DatabaseMaintenance.h"
#include "core/shell/UnsavedWork.h"
#include "core/store/BookmarkTable.h"
#include "core/store/FileIdentity.h"
#include "core/store/FileMaintenance.h"
#include "core/store/Schema.h"
#include "core/store/StoreFiles.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cerrno>
#include <cstring>
#include <memory>

namespace quillet::cli {

namespace {

const QString kProgram = QStringLiteral("quillet-cli");

// A command that stops with a message and an exit status of its own.
struct Refusal
{
    int status;
    QString message;
};

struct CommandLine
{
    QString command;
    QStringList operands; // the document first
    bool force = false;
    bool help = false;
    bool version = false;
    // check-links
    bool all = false;
    QString jobs;
    QString timeout;
};

// Empty when the arguments parse; else what is wrong with them.
QString parse(const QStringList &arguments, CommandLine &line)
{
    bool options = true;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        // "--jobs N" or "--jobs=N"; the same for --timeout.
        QString *value = argument.startsWith(QLatin1String("--jobs"))
            ? &line.jobs
            : (argument.startsWith(QLatin1String("--timeout")) ? &line.timeout : nullptr);
        if (options && value) {
            const QString name = argument.section(QLatin1Char('='), 0, 0);
            if (name != QLatin1String("--jobs") && name != QLatin1String("--timeout"))
                return QStringLiteral("unknown option '%1'").arg(argument);
            if (argument.contains(QLatin1Char('=')))
                *value = argument.section(QLatin1Char('='), 1);
            else if (i + 1 < arguments.size())
                *value = arguments.at(++i);
            else
                return QStringLiteral("option '%1' needs a value").arg(name);
        } else if (options && argument == QLatin1String("--all")) {
            line.all = true;
        } else if (options && argument == QLatin1String("--")) {
            options = false;
        } else if (options && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            if (argument == QLatin1String("-h") || argument == QLatin1String("--help"))
                line.help = true;
            else if (argument == QLatin1String("--version"))
                line.version = true;
            else if (argument == QLatin1String("-f") || argument == QLatin1String("--force"))
                line.force = true;
            else
                return QStringLiteral("unknown option '%1'").arg(argument);
        } else if (line.command.isEmpty()) {
            line.command = argument;
        } else {
            line.operands << argument;
        }
    }
    return {};
}

QString quoted(const QString &path)
{
    return QLatin1Char('\'') + path + QLatin1Char('\'');
}

Refusal inUse(const QString &path)
{
    return {DocumentInUse,
        quoted(path)
            + QStringLiteral(
                " is open in Quillet or another program; close it there and try again.")};
}

// What a command does with work a Quillet session left unsaved in the
// document: reading commands show the document as last saved, writing ones
// refuse. Either way the work stays for Quillet to offer back.
enum class Leftover
{
    ShowLastSaved,
    Refuse
};

QString leftoverNote(const QString &path, const store::PendingSummary &summary)
{
    return quoted(path) + QStringLiteral(" holds changes a Quillet session left unsaved (")
        + shell::describePendingWork(summary, int(summary.pictures.size())) + QStringLiteral(")");
}

// The document held exclusively, with its heading tree, for the whole run.
std::unique_ptr<outline::Workspace> openDocument(
    const QString &path, Leftover leftover, QTextStream &err)
{
    auto workspace = std::make_unique<outline::Workspace>(outline::Workspace::Services {});
    std::unique_ptr<store::Database> db;
    try {
        // Reading commands also read a document they cannot write.
        db = leftover == Leftover::Refuse ? store::openDocumentDatabase(path)
                                          : store::openDocumentToLoad(path);
    } catch (const store::EngineError &e) {
        if (e.number() == store::EngineErrorCode::FileInUse)
            throw inUse(path);
        throw;
    }
    outline::loadHeadingTree(*db, workspace->tree(), nullptr);
    store::BookmarkTable table(*db);
    const store::PendingSummary summary = table.pendingSummary();
    if (!summary.isEmpty()) {
        if (leftover == Leftover::Refuse)
            throw Refusal {UnsavedWork,
                leftoverNote(path, summary)
                    + QStringLiteral("; open it in Quillet to keep or discard them first.")};
        table.showLastSavedOnly();
        err << kProgram << ": " << leftoverNote(path, summary)
            << "; they are left out here and stay in the file until Quillet keeps or discards "
               "them.\n";
    }
    workspace->document().adoptOpened(std::move(db), path);
    return workspace;
}

void printLines(QTextStream &out, const std::vector<BookmarkLine> &lines)
{
    for (const BookmarkLine &line : lines)
        out << formatLine(line) << '\n';
}

struct Context
{
    const CommandLine &line;
    QTextStream &out;
    QTextStream &err;

    const QString &document() const { return line.operands.front(); }
};

int listCommand(Context &c)
{
    const auto workspace = openDocument(c.document(), Leftover::ShowLastSaved, c.err);
    printLines(c.out, listBookmarks(*workspace));
    return Success;
}

int findCommand(Context &c)
{
    const QString &text = c.line.operands.at(1);
    if (!search::BookmarkFinder::canFind(text))
        throw Refusal {UsageError, QStringLiteral("the text to find is empty")};
    const auto workspace = openDocument(c.document(), Leftover::ShowLastSaved, c.err);
    const std::vector<BookmarkLine> lines = findBookmarks(*workspace, text);
    if (lines.empty()) {
        c.err << escapeControls(search::BookmarkFinder::notFoundMessage(text)) << '\n';
        return NothingFound;
    }
    printLines(c.out, lines);
    return Success;
}

int backupCommand(Context &c)
{
    const QString &target = c.line.operands.at(1);
    if (store::samePath(target, c.document()))
        throw Refusal {Failed, QStringLiteral("the backup can not replace its own document")};
    const QFileInfo info(target);
    if (info.isDir())
        throw Refusal {Failed, quoted(target) + QStringLiteral(" is a folder")};
    if (info.exists() || info.isSymLink()) {
        if (!c.line.force)
            throw Refusal {Failed,
                quoted(target) + QStringLiteral(" already exists; give --force to replace it")};
        if (store::isHeldOpen(target))
            throw inUse(target);
    }
    const auto workspace = openDocument(c.document(), Leftover::ShowLastSaved, c.err);
    store::Database &db = *workspace->document().database();
    // Copied through the connection that holds the document, so nobody can
    // change it in between. The copy is the document as last saved: work a
    // session left unsaved is not this command's to commit.
    shell::DatabaseMaintenance::writeBackupFile(
        [&db](const QString &work) {
            // Nobody writes a file that cannot be written: a plain copy will do.
            if (db.isReadOnly()) {
                if (!store::copyFile(db.path(), work))
                    throw store::EngineError(store::EngineErrorCode::Generic,
                        QStringLiteral("The document could not be copied to the work file."));
            } else {
                db.exportCopy(work, store::openConnectString());
            }
            const std::unique_ptr<store::Database> copy = store::openDocumentDatabase(work);
            store::Transaction transaction(*copy);
            store::BookmarkTable table(*copy);
            table.dropOrphanedRows();
            table.undoPending();
            transaction.commit();
        },
        target, outline::headingRows(workspace->tree()), nullptr, {});
    return Success;
}

bool isStandardStream(const QString &file)
{
    return file == QLatin1String("-");
}

int exportHtmlCommand(Context &c)
{
    const QString file = c.line.operands.value(1, QStringLiteral("-"));
    const bool toFile = !isStandardStream(file);
    if (toFile && store::samePath(file, c.document()))
        throw Refusal {Failed, QStringLiteral("the export can not replace its own document")};
    const auto workspace = openDocument(c.document(), Leftover::ShowLastSaved, c.err);
    store::Database &db = *workspace->document().database();
    browsers::ExportResult result;
    if (toFile) {
        result = browsers::exportBookmarkHtmlFile(db, workspace->tree(), nullptr, file);
    } else {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        result = browsers::exportBookmarkHtml(db, workspace->tree(), nullptr, buffer);
        if (result.ok())
            c.out << QString::fromUtf8(buffer.data());
    }
    if (!result.ok())
        throw Refusal {Failed, result.error};
    return Success;
}

// Imports what was read from `file` into the root heading of the document,
// held and refused as openDocument says, and saves it.
int importRead(Context &c, outline::Workspace &workspace, const QString &file,
    const browsers::ReadBookmarks &read)
{
    store::Database &db = *workspace.document().database();
    // The import and the Save that commits it reach the file together or
    // not at all: bookmarks never land without their headings.
    store::Transaction transaction(db);
    const browsers::ImportResult result
        = browsers::importIntoHeading(db, workspace.tree(), workspace.tree().root(), read, nullptr);
    for (const QString &problem : result.problems)
        c.err << kProgram << ": " << escapeControls(file) << ": " << escapeControls(problem)
              << '\n';
    if (!result.ok())
        throw Refusal {Failed, result.error};
    store::resolvePendingChanges(
        db, store::Resolution::Save, outline::headingRows(workspace.tree()), nullptr);
    transaction.commit();
    db.settleOnDisk();
    c.out << result.bookmarksAdded << " bookmarks imported, " << result.bookmarksSkipped
          << " already there, " << result.headingsAdded << " headings added.\n";
    return Success;
}

int importHtmlCommand(Context &c)
{
    const QString &file = c.line.operands.at(1);
    // Its Save would commit another session's unsaved work along.
    const auto workspace = openDocument(c.document(), Leftover::Refuse, c.err);
    if (!isStandardStream(file))
        return importRead(c, *workspace, file, browsers::readBookmarkHtmlFile(file));
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        throw Refusal {Failed, QStringLiteral("the standard input can not be read")};
    return importRead(c, *workspace, file, browsers::readBookmarkHtml(in.readAll()));
}

// The names of the formats import knows, each after `before` and before `after`.
QString formatNames(const QString &before, const QString &after)
{
    QString names;
    for (const browsers::BookmarkFormat &format : browsers::bookmarkFormats())
        names += before + QLatin1String(format.name) + after;
    return names;
}

int importCommand(Context &c)
{
    const QString &file = c.line.operands.at(1);
    // Some formats are databases, read from a file.
    if (isStandardStream(file))
        throw Refusal {
            UsageError, QStringLiteral("import reads a FILE; import-html reads standard input")};
    const auto workspace = openDocument(c.document(), Leftover::Refuse, c.err);
    QString unreadable;
    const browsers::BookmarkFormat *format = browsers::sniffBookmarkFormat(file, &unreadable);
    if (!format)
        throw Refusal {Failed,
            !unreadable.isEmpty()
                ? unreadable
                : quoted(file) + QStringLiteral(" is not a bookmark file quillet-cli can import (")
                    + formatNames(QString(), QStringLiteral(", ")).chopped(2) + u')'};
    return importRead(c, *workspace, file, format->read(file));
}

// The options of check-links, or a usage refusal.
links::LinkCheckOptions checkOptions(const CommandLine &line)
{
    links::LinkCheckOptions options;
    if (!line.jobs.isNull()) {
        bool ok = false;
        const int jobs = line.jobs.toInt(&ok);
        if (!ok || jobs < 1 || jobs > 256)
            throw Refusal {UsageError, QStringLiteral("--jobs takes a number from 1 to 256")};
        options.maxInFlight = jobs;
    }
    if (!line.timeout.isNull()) {
        bool ok = false;
        const double seconds = line.timeout.toDouble(&ok);
        if (!ok || !(seconds >= 0.1 && seconds <= 3600))
            throw Refusal {
                UsageError, QStringLiteral("--timeout takes a number of seconds from 0.1 to 3600")};
        options.timeoutMs = static_cast<int>(seconds * 1000 + 0.5);
    }
    return options;
}

int checkLinksCommand(Context &c)
{
    const links::LinkCheckOptions options = checkOptions(c.line);
    const auto workspace = openDocument(c.document(), Leftover::ShowLastSaved, c.err);
    const links::BookmarksToCheck toCheck = links::documentBookmarks(*workspace);
    links::LinkChecker checker(options);
    checker.run(toCheck.links);

    QStringList paths;
    for (const links::CheckedHeading &heading : toCheck.headings)
        paths << headingPath(workspace->tree().findByKey(heading.key));
    bool anyDead = false;
    for (const links::BookmarkToCheck &bookmark : toCheck.bookmarks) {
        const links::LinkResult &result = checker.result(bookmark.link);
        anyDead = anyDead || result.verdict == links::Verdict::Dead;
        if (result.verdict == links::Verdict::Ok && !c.line.all)
            continue;
        const QString detail
            = result.verdict == links::Verdict::Moved ? result.newLink : result.detail;
        c.out << links::verdictWord(result.verdict) << '\t' << paths.at(bookmark.heading) << '\t'
              << escapeField(bookmark.name) << '\t' << escapeField(toCheck.links.at(bookmark.link))
              << '\t' << escapeField(detail) << '\n';
    }
    return anyDead ? LinksDead : Success;
}

struct Command
{
    const char *name;
    const char *operands; // for messages
    int minOperands;
    int maxOperands;
    int (*run)(Context &);
};

const Command kCommands[] = {
    {"list", "DOCUMENT", 1, 1, listCommand},
    {"find", "DOCUMENT TEXT", 2, 2, findCommand},
    {"export-html", "DOCUMENT [FILE]", 1, 2, exportHtmlCommand},
    {"import", "DOCUMENT FILE", 2, 2, importCommand},
    {"import-html", "DOCUMENT FILE", 2, 2, importHtmlCommand},
    {"backup", "DOCUMENT TARGET", 2, 2, backupCommand},
    {"check-links", "DOCUMENT [--all] [--jobs N] [--timeout SECONDS]", 1, 1, checkLinksCommand},
};

const Command *commandNamed(const QString &name)
{
    for (const Command &command : kCommands)
        if (name == QLatin1String(command.name))
            return &command;
    return nullptr;
}

int usageError(QTextStream &err, const QString &problem)
{
    err << kProgram << ": " << escapeControls(problem) << '\n'
        << "Try '" << kProgram << " --help' for more information.\n";
    return UsageError;
}

} // namespace

QString usageText()
{
    return QStringLiteral(
        "Usage: quillet-cli COMMAND DOCUMENT [ARGUMENT]\n"
        "\n"
        "Works on a Quillet document (.rdb) from scripts. The document is held\n"
        "exclusively while a command runs; one that is open in Quillet or in\n"
        "another program is refused. list, find, export-html and backup also\n"
        "read a document whose file or folder is read-only.\n"
        "\n"
        "Commands:\n"
        "  list DOCUMENT               every bookmark, heading by heading in tree order\n"
        "  find DOCUMENT TEXT          the bookmarks whose name, link and description\n"
        "                              joined contain TEXT, as Find's \"All\" scope\n"
        "                              finds them (case ignored; * ? # [...] match\n"
        "                              like wildcards)\n"
        "  export-html DOCUMENT [FILE] the whole tree as a browser bookmark file, to\n"
        "                              FILE or, when none or -, to standard output\n"
        "  import DOCUMENT FILE        a browser's bookmark file into the root heading,\n"
        "                              saved at once; its content tells its kind:\n"
        "%1"
        "  import-html DOCUMENT FILE   a browser bookmark file (- for standard input)\n"
        "                              into the root heading, saved at once\n"
        "  backup DOCUMENT TARGET      a compacted copy of the document as last saved\n"
        "                              (a backup Quillet restores); an existing TARGET\n"
        "                              is replaced only with --force\n"
        "  check-links DOCUMENT        checks the link of every bookmark over the\n"
        "                              network and lists those that are not OK\n"
        "\n"
        "Options:\n"
        "  -f, --force    let backup replace an existing TARGET\n"
        "      --all      check-links: list every bookmark, the OK ones too\n"
        "      --jobs N   check-links: at most N requests at once (32; never more\n"
        "                 than 2 to one server)\n"
        "      --timeout SECONDS\n"
        "                 check-links: a server silent this long is dead (15)\n"
        "  -h, --help     show this text\n"
        "      --version  show the version\n"
        "  --             end of options (before a TEXT that starts with -)\n"
        "\n"
        "list and find print one bookmark a line, in UTF-8, columns separated by a\n"
        "tab: heading path, name, link, date (yyyy-MM-dd), description. The heading\n"
        "path is the titles from the root heading down, joined by /. In every column\n"
        "a backslash, tab, newline or carriage return is written \\\\, \\t, \\n or \\r,\n"
        "and every other control character (U+0000 to U+001F, U+007F to U+009F) as\n"
        "\\xHH in two hexadecimal digits, so no text reaches the terminal as a\n"
        "command; in the heading path a / inside a title is written \\/.\n"
        "\n"
        "check-links prints one bookmark a line, escaped the same way: verdict (ok,\n"
        "moved, dead or skipped), heading path, name, link, detail (the status or\n"
        "error; for moved the new link). Each distinct link is asked once, with\n"
        "HEAD (GET where HEAD is refused), following up to 10 redirects.\n"
        "\n"
        "Exit status:\n"
        "  0  success\n"
        "  1  find found nothing; check-links found a dead link\n"
        "  2  bad command line\n"
        "  3  the document (or the TARGET to replace) is open in Quillet or elsewhere\n"
        "  4  any other failure: a missing file, not a Quillet document, a file import\n"
        "     does not know, a write error\n"
        "  5  import, import-html: the document holds changes a Quillet session left\n"
        "     unsaved\n"
        "\n"
        "Changes a Quillet session left unsaved in a document (it was killed, or the\n"
        "machine stopped) are never committed here: list, find, export-html and\n"
        "backup show the document as last saved and say so on standard error;\n"
        "import and import-html refuse. Quillet offers the changes back when it\n"
        "opens the document.\n")
        .arg(formatNames(QStringLiteral("                                "), QStringLiteral("\n")));
}

int finishOutput(QTextStream &out, std::FILE *stream, QTextStream &err, int status)
{
    out.flush();
    bool written = out.status() == QTextStream::Ok;
    int error = written ? 0 : EIO;
    errno = 0;
    if (std::fflush(stream) != 0 || std::ferror(stream)) {
        written = false;
        error = errno ? errno : EIO;
    }
    errno = 0;
    if (std::fclose(stream) != 0 && written) {
        written = false;
        error = errno ? errno : EIO;
    }
    if (written)
        return status;
    err << kProgram << ": the output could not be written ("
        << QString::fromLocal8Bit(std::strerror(error)) << ")\n";
    err.flush();
    return Failed;
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    CommandLine line;
    const QString problem = parse(arguments, line);
    if (!problem.isEmpty())
        return usageError(err, problem);
    if (line.help || line.command == QLatin1String("help")) {
        out << usageText();
        return Success;
    }
    if (line.version) {
        out << kProgram << ' ' << strings::kVersion << '\n';
        return Success;
    }
    if (line.command.isEmpty())
        return usageError(err, QStringLiteral("no command given"));
    const Command *command = commandNamed(line.command);
    if (!command)
        return usageError(err, QStringLiteral("unknown command '%1'").arg(line.command));
    if (line.operands.size() < command->minOperands || line.operands.size() > command->maxOperands)
        return usageError(err,
            QStringLiteral("usage: %1 %2 %3")
                .arg(kProgram, line.command, QLatin1String(command->operands)));
    if (line.force && line.command != QLatin1String("backup"))
        return usageError(err, QStringLiteral("--force applies to backup only"));
    if ((line.all || !line.jobs.isNull() || !line.timeout.isNull())
        && line.command != QLatin1String("check-links"))
        return usageError(
            err, QStringLiteral("--all, --jobs and --timeout apply to check-links only"));

    Context context {line, out, err};
    try {
        return command->run(context);
    } catch (const Refusal &refusal) {
        if (refusal.status == UsageError)
            return usageError(err, refusal.message);
        err << kProgram << ": " << escapeControls(refusal.message) << '\n';
        return refusal.status;
    } catch (const store::EngineError &e) {
        err << kProgram << ": " << escapeControls(e.description()) << '\n';
    } catch (const std::exception &e) {
        err << kProgram << ": " << escapeControls(QString::fromLocal8Bit(e.what())) << '\n';
    }
    return Failed;
}

} // namespace quillet::cli
