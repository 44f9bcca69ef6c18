// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/browsers/BookmarkHtml.h"

#include "core/browsers/BookmarkFileReading.h"
#include "core/common/HtmlText.h"
#include "core/outline/HeadingTreeModel.h"
#include "core/outline/HeadingWalk.h"
#include "core/store/BookmarkTable.h"
#include "core/store/EngineError.h"
#include "core/store/FileReplacement.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <cstring>

namespace quillet::browsers {

namespace {

// Where collected text goes when its element ends.
enum class Collect
{
    None,
    Title, // of a folder (<H3>)
    Name, // of a bookmark (<A>)
    Description // <DD>
};

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-'
        || c == '_' || c == ':' || c == '.';
}

// ASCII, case ignored.
bool sameName(const char *p, qsizetype n, const char *lower)
{
    const auto len = static_cast<qsizetype>(std::strlen(lower));
    if (n != len)
        return false;
    for (qsizetype i = 0; i < n; ++i) {
        char c = p[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
        if (c != lower[i])
            return false;
    }
    return true;
}

// Seconds since 1970 in ADD_DATE; some writers give milli- or microseconds.
qint64 addDateSeconds(QByteArrayView digits)
{
    bool ok = false;
    qint64 value = QByteArray(digits.data(), digits.size()).trimmed().toLongLong(&ok);
    if (!ok || value <= 0)
        return 0;
    while (value > 100000000000LL) // past the year 5000 in seconds
        value /= 1000;
    return value;
}

class HtmlReader
{
public:
    HtmlReader(const QByteArray &bytes, common::TextDecoder decoder)
        : m_begin(bytes.constData())
        , m_p(m_begin)
        , m_end(m_begin + bytes.size())
        , m_decoder(std::move(decoder))
    {
        m_stack.push_back({&m_out.root, 0});
    }

    ReadBookmarks read()
    {
        while (m_p < m_end) {
            const char *lt = static_cast<const char *>(
                std::memchr(m_p, '<', static_cast<size_t>(m_end - m_p)));
            const char *textEnd = lt ? lt : m_end;
            if (m_collect != Collect::None)
                m_text.append(m_p, textEnd - m_p);
            m_p = textEnd;
            if (!lt)
                break;
            markup();
        }
        finish();
        if (!m_sawBookmarkMarkup)
            m_out.error = QStringLiteral("This is not a bookmark HTML file.");
        if (m_decoder.hadErrors())
            m_out.problems << QStringLiteral(
                "Some texts hold bytes that are not in the file's character set; they show as "
                "\uFFFD.");
        return std::move(m_out);
    }

private:
    int lineAt(const char *at)
    {
        // Problems mostly come in file order, but a folder or a bookmark is
        // judged when its text ends, after problems found further on.
        if (at >= m_lineFrom)
            m_line += static_cast<int>(std::count(m_lineFrom, at, '\n'));
        else
            m_line -= static_cast<int>(std::count(at, m_lineFrom, '\n'));
        m_lineFrom = at;
        return m_line;
    }

    void problem(const char *at, const QString &text)
    {
        constexpr int kMaxProblems = 100;
        if (m_out.problems.size() < kMaxProblems)
            m_out.problems << QStringLiteral("Line %1: %2").arg(lineAt(at)).arg(text);
        else if (m_out.problems.size() == kMaxProblems)
            m_out.problems << QStringLiteral("More problems were not listed.");
    }

    // At '<': a comment, a declaration, an end tag, a start tag, or a lone '<'.
    void markup()
    {
        const char *at = m_p;
        const char *p = m_p + 1;
        if (p < m_end && *p == '!') {
            if (m_end - p >= 3 && p[1] == '-' && p[2] == '-') {
                static constexpr char kCommentEnd[] = "-->";
                const char *close = std::search(p + 3, m_end, kCommentEnd, kCommentEnd + 3);
                if (close == m_end) {
                    problem(at, QStringLiteral("a comment is never closed; the rest was skipped."));
                    m_p = m_end;
                    return;
                }
                m_p = close + 3;
                return;
            }
            skipTo('>', at);
            return;
        }
        if (p < m_end && *p == '?') {
            skipTo('>', at);
            return;
        }
        const bool closing = p < m_end && *p == '/';
        if (closing)
            ++p;
        const char *name = p;
        while (p < m_end && isNameChar(*p))
            ++p;
        if (p == name || !((*name >= 'a' && *name <= 'z') || (*name >= 'A' && *name <= 'Z'))) {
            // Not a tag: a '<' of the text.
            if (m_collect != Collect::None)
                m_text.append('<');
            m_p = at + 1;
            return;
        }
        const qsizetype nameLength = p - name;
        m_p = p;
        if (closing) {
            skipTo('>', at);
            endTag(name, nameLength, at);
        } else {
            startTag(name, nameLength, at);
        }
    }

    void skipTo(char c, const char *at)
    {
        const char *hit
            = static_cast<const char *>(std::memchr(m_p, c, static_cast<size_t>(m_end - m_p)));
        if (!hit) {
            problem(at, QStringLiteral("the file ends inside a tag."));
            m_p = m_end;
            return;
        }
        m_p = hit + 1;
    }

    // Reads the attributes up to '>', keeping the values of HREF and ADD_DATE.
    void attributes(const char *at, QByteArrayView *href, QByteArrayView *addDate)
    {
        while (m_p < m_end) {
            while (m_p < m_end && (isSpace(*m_p) || *m_p == '/'))
                ++m_p;
            if (m_p >= m_end)
                break;
            if (*m_p == '>') {
                ++m_p;
                return;
            }
            const char *name = m_p;
            while (m_p < m_end && !isSpace(*m_p) && *m_p != '=' && *m_p != '>')
                ++m_p;
            const qsizetype nameLength = m_p - name;
            if (nameLength == 0) { // a stray '=' or quote
                ++m_p;
                continue;
            }
            while (m_p < m_end && isSpace(*m_p))
                ++m_p;
            QByteArrayView value;
            if (m_p < m_end && *m_p == '=') {
                ++m_p;
                while (m_p < m_end && isSpace(*m_p))
                    ++m_p;
                if (m_p < m_end && (*m_p == '"' || *m_p == '\'')) {
                    const char quote = *m_p++;
                    const char *close = static_cast<const char *>(
                        std::memchr(m_p, quote, static_cast<size_t>(m_end - m_p)));
                    if (!close) {
                        problem(at, QStringLiteral("a quoted value is never closed."));
                        close = static_cast<const char *>(
                            std::memchr(m_p, '>', static_cast<size_t>(m_end - m_p)));
                        if (!close)
                            close = m_end;
                    }
                    value = QByteArrayView(m_p, close - m_p);
                    m_p = close < m_end ? close + 1 : m_end;
                } else {
                    const char *start = m_p;
                    while (m_p < m_end && !isSpace(*m_p) && *m_p != '>')
                        ++m_p;
                    value = QByteArrayView(start, m_p - start);
                }
            }
            if (href && sameName(name, nameLength, "href"))
                *href = value;
            else if (addDate && sameName(name, nameLength, "add_date"))
                *addDate = value;
        }
        problem(at, QStringLiteral("the file ends inside a tag."));
    }

    void startTag(const char *name, qsizetype n, const char *at)
    {
        if (sameName(name, n, "a")) {
            QByteArrayView href;
            QByteArrayView addDate;
            bool hasHref = false;
            attributes(at, &href, &addDate);
            hasHref = href.data() != nullptr;
            finish();
            m_sawBookmarkMarkup = true;
            m_pendingFolder = nullptr;
            m_bookmark = ImportedBookmark();
            m_bookmarkHasLink = hasHref;
            m_bookmarkAt = at;
            if (hasHref)
                m_bookmark.link = common::decodeEntities(
                    m_decoder.decode(href), common::EntityPlace::Attribute);
            m_bookmark.date = dateOfSeconds(addDateSeconds(addDate));
            m_collect = Collect::Name;
            return;
        }
        attributes(at, nullptr, nullptr);
        if (sameName(name, n, "h3")) {
            finish();
            m_sawBookmarkMarkup = true;
            m_pendingFolder = nullptr;
            m_lastBookmark = nullptr;
            m_titleAt = at;
            m_collect = Collect::Title;
        } else if (sameName(name, n, "dl")) {
            finish();
            m_sawBookmarkMarkup = true;
            m_lastBookmark = nullptr;
            // A list without its folder (or too deep) adds to the folder it is in.
            m_stack.push_back(m_pendingFolder ? OpenList {m_pendingFolder, m_stack.back().level + 1}
                                              : m_stack.back());
            m_pendingFolder = nullptr;
        } else if (sameName(name, n, "dd")) {
            finish();
            m_collect = m_lastBookmark ? Collect::Description : Collect::None;
        } else if (sameName(name, n, "br")) {
            if (m_collect != Collect::None)
                m_text.append('\n');
        } else if (sameName(name, n, "dt") || sameName(name, n, "hr") || sameName(name, n, "h1")
            || sameName(name, n, "title")) {
            finish();
            m_pendingFolder = nullptr;
            m_lastBookmark = nullptr;
        }
        // Anything else (<p>, <meta>, <b>...) neither starts nor ends a text.
    }

    void endTag(const char *name, qsizetype n, const char *at)
    {
        if (sameName(name, n, "a")) {
            if (m_collect == Collect::Name)
                finish();
        } else if (sameName(name, n, "h3")) {
            if (m_collect == Collect::Title)
                finish();
        } else if (sameName(name, n, "dl")) {
            finish();
            m_pendingFolder = nullptr;
            m_lastBookmark = nullptr;
            if (m_stack.size() > 1)
                m_stack.pop_back();
            else
                problem(at, QStringLiteral("a </DL> closes no list; it was ignored."));
        } else if (sameName(name, n, "dd") || sameName(name, n, "dt")) {
            finish();
        }
    }

    QString collected(bool keepLines)
    {
        QString text = common::decodeEntities(m_decoder.decode(m_text), common::EntityPlace::Text);
        m_text.clear();
        return keepLines ? text.trimmed() : text.simplified();
    }

    // Ends the text being collected and files what it belongs to.
    void finish()
    {
        const Collect collect = m_collect;
        m_collect = Collect::None;
        ImportedFolder *folder = m_stack.back().folder;
        switch (collect) {
        case Collect::None:
            return;
        case Collect::Title: {
            QString title = collected(false);
            if (m_stack.back().level >= kMaxFolderDepth) {
                problem(m_titleAt,
                    QStringLiteral("\"%1\" lies more than %2 levels deep; its contents join the "
                                   "folder at level %2.")
                        .arg(title)
                        .arg(kMaxFolderDepth));
                return;
            }
            folder->folders.push_back({std::move(title), {}, {}});
            m_pendingFolder = &folder->folders.back();
            return;
        }
        case Collect::Name:
            m_bookmark.name = collected(false);
            m_lastBookmark = nullptr;
            if (!m_bookmarkHasLink) {
                problem(m_bookmarkAt,
                    QStringLiteral("\"%1\" has no HREF and was skipped.").arg(m_bookmark.name));
                return;
            }
            folder->bookmarks.push_back(std::move(m_bookmark));
            m_lastBookmark = &folder->bookmarks.back();
            return;
        case Collect::Description:
            if (m_lastBookmark)
                m_lastBookmark->description = collected(true);
            m_text.clear();
            m_lastBookmark = nullptr;
            return;
        }
    }

    const char *m_begin;
    const char *m_p;
    const char *m_end;
    common::TextDecoder m_decoder;
    ReadBookmarks m_out;
    // The lists open at this point of the file, each with the folder it adds
    // to and that folder's level (the root's is 0).
    struct OpenList
    {
        ImportedFolder *folder;
        int level;
    };
    std::vector<OpenList> m_stack;
    // The folder of the last <H3>: the next <DL> opens it.
    ImportedFolder *m_pendingFolder = nullptr;
    // The bookmark a <DD> describes (valid until its folder grows).
    ImportedBookmark *m_lastBookmark = nullptr;
    Collect m_collect = Collect::None;
    QByteArray m_text;
    ImportedBookmark m_bookmark;
    bool m_bookmarkHasLink = false;
    const char *m_bookmarkAt = nullptr;
    const char *m_titleAt = nullptr;
    bool m_sawBookmarkMarkup = false;
    int m_line = 1;
    const char *m_lineFrom = m_begin;
};

// The export's writer: UTF-8 into a buffer that goes out in large pieces.
class HtmlWriter
{
public:
    HtmlWriter(store::Database &db, QIODevice &out, common::ProgressView *progress)
        : m_db(db)
        , m_out(out)
        , m_progress(progress)
    {
        m_buffer.reserve(kFlushSize + 65536);
    }

    ExportResult write(const outline::HeadingTreeModel &tree, const outline::HeadingNode *top)
    {
        // Each heading with its depth, in tree order.
        std::vector<std::pair<const outline::HeadingNode *, int>> headings;
        auto walk = top ? outline::HeadingWalk(top) : outline::HeadingWalk(tree.topLevel());
        while (walk.next())
            headings.emplace_back(walk.node(), walk.depth());
        QHash<QString, int> slotOfKey;
        for (size_t i = 0; i < headings.size(); ++i)
            slotOfKey.insert(headings[i].first->key.toCaseFolded(), static_cast<int>(i));
        // One pass over the table: tbItems has no index on the heading key.
        std::vector<store::BookmarkRow> rows = store::BookmarkTable(m_db).allLiveRows();
        m_rowsOf.resize(headings.size());
        qint64 total = static_cast<qint64>(headings.size());
        for (store::BookmarkRow &row : rows) {
            const auto slot = slotOfKey.constFind(row.headingKey.toCaseFolded());
            if (slot != slotOfKey.constEnd()) {
                m_rowsOf[static_cast<size_t>(*slot)].push_back(&row);
                ++total;
            }
        }
        if (m_progress) {
            m_progress->setMaximum(total);
            m_progress->setValue(0);
            m_progress->setVisible(true);
        }

        append("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
               "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
               "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n");
        // A chosen heading is a folder itself; without one, the top-level
        // headings' bookmarks stand in the outer list and only the headings
        // below them become folders. A folder at `level` holds its contents
        // one level further in.
        std::vector<int> openFolders; // their levels, innermost last
        for (size_t i = 0; i < headings.size(); ++i) {
            const auto [node, depth] = headings[i];
            const int level = top ? depth + 1 : depth;
            while (!openFolders.empty() && openFolders.back() >= level) {
                closeFolder(openFolders.back());
                openFolders.pop_back();
            }
            if (level > 0) {
                openFolder(node, level);
                openFolders.push_back(level);
            }
            contents(i, level + 1);
        }
        while (!openFolders.empty()) {
            closeFolder(openFolders.back());
            openFolders.pop_back();
        }
        append("</DL>\n");
        flush();
        if (m_failed)
            m_result.error = m_out.errorString();
        return m_result;
    }

private:
    static constexpr qsizetype kFlushSize = 1 << 20;
    // Deeper levels are indented as this one: indenting each by its depth
    // would make a deep chain's file grow with the square of its depth.
    static constexpr int kDeepestIndent = 8;

    void append(const char *text) { m_buffer.append(text); }
    void indent(int level) { m_buffer.append(std::min(level, kDeepestIndent) * 4, ' '); }

    void escaped(const QString &text) { m_buffer.append(common::escapeHtml(text).toUtf8()); }

    void openFolder(const outline::HeadingNode *node, int level)
    {
        indent(level);
        append("<DT><H3>");
        escaped(node->title);
        append("</H3>\n");
        indent(level);
        append("<DL><p>\n");
    }

    void closeFolder(int level)
    {
        indent(level);
        append("</DL><p>\n");
    }

    // The bookmarks of the heading in `slot`.
    void contents(size_t slot, int level)
    {
        ++m_result.headings;
        step();
        for (const store::BookmarkRow *row : m_rowsOf[slot]) {
            indent(level);
            append("<DT><A HREF=\"");
            escaped(row->link);
            append("\"");
            const QByteArray added = addDateOf(row->date);
            if (!added.isEmpty()) {
                append(" ADD_DATE=\"");
                m_buffer.append(added);
                append("\"");
            }
            append(">");
            escaped(row->name);
            append("</A>\n");
            if (!row->description.isEmpty()) {
                indent(level);
                append("<DD>");
                escaped(row->description);
                append("\n");
            }
            ++m_result.bookmarks;
            step();
        }
    }

    QByteArray addDateOf(const QString &date)
    {
        auto it = m_dates.constFind(date);
        if (it != m_dates.constEnd())
            return *it;
        const QDate day = QDate::fromString(date.trimmed(), Qt::ISODate);
        const QByteArray seconds = day.isValid()
            ? QByteArray::number(day.startOfDay().toSecsSinceEpoch())
            : QByteArray();
        m_dates.insert(date, seconds);
        return seconds;
    }

    void step()
    {
        ++m_done;
        if (m_buffer.size() >= kFlushSize)
            flush();
        if (m_done % 5000 == 0) {
            if (m_progress)
                m_progress->setValue(m_done);
            common::yieldToEventLoop();
        }
    }

    void flush()
    {
        if (!m_failed && !m_buffer.isEmpty() && m_out.write(m_buffer) != m_buffer.size())
            m_failed = true;
        m_buffer.clear();
    }

    store::Database &m_db;
    QIODevice &m_out;
    common::ProgressView *m_progress;
    ExportResult m_result;
    QByteArray m_buffer;
    std::vector<std::vector<const store::BookmarkRow *>> m_rowsOf;
    QHash<QString, QByteArray> m_dates;
    qint64 m_done = 0;
    bool m_failed = false;
};

} // namespace

ReadBookmarks readBookmarkHtml(const QByteArray &bytes)
{
    // Multi-byte encodings without ASCII at its place are made UTF-8 first,
    // so the tokenizer can look for '<' byte by byte.
    if (const QByteArray utf8 = common::utf16AsUtf8(bytes); !utf8.isNull())
        return HtmlReader(utf8, common::TextDecoder(QByteArrayLiteral("UTF-8"))).read();
    common::TextDecoder decoder(common::declaredCharset(bytes), bytes);
    ReadBookmarks read = HtmlReader(bytes, std::move(decoder)).read();
    return read;
}

ReadBookmarks readBookmarkHtmlFile(const QString &path)
{
    QFile file(path);
    if (const QString unreadable = openToRead(file); !unreadable.isEmpty())
        return readFailure(unreadable);
    // Mapped, not copied: files of tens of megabytes are common.
    if (uchar *mapped = file.map(0, file.size()); mapped && file.size() > 0) {
        const QByteArray bytes = QByteArray::fromRawData(
            reinterpret_cast<const char *>(mapped), static_cast<qsizetype>(file.size()));
        ReadBookmarks read = readBookmarkHtml(bytes);
        file.unmap(mapped);
        return read;
    }
    return readBookmarkHtml(file.readAll());
}

bool looksLikeBookmarkHtml(QByteArrayView start)
{
    const QByteArray utf8 = common::utf16AsUtf8(start);
    QByteArrayView text = utf8.isNull() ? start : QByteArrayView(utf8);
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    if (!text.trimmed().startsWith('<'))
        return false;
    // Browsers write the doctype first; files made by hand at least a list
    // or its entries.
    const QByteArray lower = text.toByteArray().toLower();
    return lower.contains("<!doctype netscape-bookmark-file") || lower.contains("<dl")
        || lower.contains("<dt");
}

ImportResult importBookmarkHtml(store::Database &db, outline::HeadingTreeModel &tree,
    outline::HeadingNode *parent, const QString &path, common::ProgressView *progress)
{
    return importIntoHeading(db, tree, parent, readBookmarkHtmlFile(path), progress);
}

ExportResult exportBookmarkHtml(store::Database &db, const outline::HeadingTreeModel &tree,
    const outline::HeadingNode *top, QIODevice &out, common::ProgressView *progress)
{
    common::HideProgressAtEnd hide(progress);
    try {
        return HtmlWriter(db, out, progress).write(tree, top);
    } catch (const store::EngineError &e) {
        ExportResult result;
        result.error = e.description();
        return result;
    }
}

ExportResult exportBookmarkHtmlFile(store::Database &db, const outline::HeadingTreeModel &tree,
    const outline::HeadingNode *top, const QString &path, common::ProgressView *progress)
{
    ExportResult result;
    if (QFileInfo(path).isDir()) {
        result.error = QStringLiteral("'%1' is a folder.").arg(path);
        return result;
    }
    try {
        store::FileReplacement file(path);
        result = exportBookmarkHtml(db, tree, top, file.device(), progress);
        if (result.ok())
            file.commit();
    } catch (const store::EngineError &e) {
        result.error = e.description();
    }
    return result;
}

} // namespace quillet::browsers
