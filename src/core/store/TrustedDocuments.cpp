// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/TrustedDocuments.h"

#include "core/common/AppHome.h"
#include "core/store/EngineError.h"
#include "core/store/FileReplacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QUrl>
#include <algorithm>
#include <array>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace quillet::store {

namespace {

// How many closed documents the home remembers; the oldest go first.
constexpr qsizetype kRememberedDocuments = 64;

// Device, inode, size, modification and change times (seconds and
// nanoseconds): what any write to the file or its replacement moves.
using FileStamp = std::array<qint64, 7>;

std::optional<FileStamp> stampOf(const QString &path)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileStamp {qint64(st.st_dev), qint64(st.st_ino), qint64(st.st_size),
        qint64(st.st_mtim.tv_sec), qint64(st.st_mtim.tv_nsec), qint64(st.st_ctim.tv_sec),
        qint64(st.st_ctim.tv_nsec)};
}

// A write-ahead log left beside a closed document holds changes its stamp
// does not cover: closing always folds the log in and removes it.
bool hasLeftoverLog(const QString &path)
{
    const QFileInfo log(path + QStringLiteral("-wal"));
    return log.exists() && log.size() > 0;
}

// How a document was when it was last closed.
struct Closing
{
    FileStamp stamp {};
    // Nothing was left pending: no edit waited for Save or Discard.
    bool settled = false;

    bool operator==(const Closing &) const = default;
};

struct Entry
{
    // Empty while the file is open in this process.
    std::optional<Closing> closing;
    // What the home's list holds for it, if anything.
    std::optional<Closing> saved;
    quint64 used = 0; // higher is more recent
};

struct TrustedFiles
{
    QMutex mutex;
    QHash<QString, Entry> files;
    quint64 clock = 0;
    QString loadedHome; // the home whose list has been merged in
};

TrustedFiles &trusted()
{
    static TrustedFiles t;
    return t;
}

QString keyOf(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString listPath(const QString &home)
{
    return home + QStringLiteral("/checked-documents");
}

// One line per document: the seven numbers of its stamp, 1 when it was
// closed settled (else 0), and its path, percent-encoded so that any name
// fits on the line.
QByteArray lineOf(const QString &path, const Closing &closing)
{
    QByteArray line;
    for (const qint64 number : closing.stamp)
        line += QByteArray::number(number) + ' ';
    line += closing.settled ? "1 " : "0 ";
    return line + QUrl::toPercentEncoding(path) + '\n';
}

std::optional<std::pair<QString, Closing>> parseLine(const QByteArray &line)
{
    const QList<QByteArray> parts = line.trimmed().split(' ');
    Closing closing;
    const qsizetype numbers = qsizetype(closing.stamp.size());
    if (parts.size() != numbers + 2)
        return std::nullopt;
    for (qsizetype i = 0; i < numbers; ++i) {
        bool ok = false;
        closing.stamp[size_t(i)] = parts[i].toLongLong(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (parts[numbers] != "0" && parts[numbers] != "1")
        return std::nullopt;
    closing.settled = parts[numbers] == "1";
    const QString path = QString::fromUtf8(QByteArray::fromPercentEncoding(parts.last()));
    if (!QDir::isAbsolutePath(path))
        return std::nullopt;
    return std::make_pair(QDir::cleanPath(path), closing);
}

// Merges the home's list in once per home; a lost or garbled list only
// means a check at the next open. Called with the mutex held.
void loadHomeList(TrustedFiles &t)
{
    const QString home = common::appHome();
    if (home == t.loadedHome)
        return;
    t.loadedHome = home;
    QFile file(listPath(home));
    if (!file.open(QIODevice::ReadOnly))
        return;
    // Lines come most recent first.
    const QList<QByteArray> lines = file.read(1 << 20).split('\n');
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        const auto parsed = parseLine(lines[i]);
        if (!parsed || t.files.contains(parsed->first))
            continue;
        t.files.insert(parsed->first, Entry {parsed->second, parsed->second, ++t.clock});
    }
}

// Writes the closed documents whose files are still as they were (a work
// file renamed into place is gone). Called with the mutex held.
void saveHomeList(TrustedFiles &t)
{
    std::vector<std::pair<quint64, QString>> closed;
    for (auto it = t.files.begin(); it != t.files.end(); ++it) {
        it->saved.reset();
        if (it->closing && stampOf(it.key()) == it->closing->stamp)
            closed.emplace_back(it->used, it.key());
    }
    std::sort(closed.begin(), closed.end(), std::greater<>());
    if (closed.size() > size_t(kRememberedDocuments))
        closed.resize(size_t(kRememberedDocuments));
    QByteArray text;
    for (const auto &[used, path] : closed) {
        Entry &entry = t.files[path];
        entry.saved = entry.closing;
        text += lineOf(path, *entry.closing);
    }
    try {
        FileReplacement list(listPath(t.loadedHome));
        list.write(text);
        list.commit();
    } catch (const EngineError &) {
        // Not remembered: the document is checked when it is next opened.
    }
}

} // namespace

void trustDocumentFile(const QString &path)
{
    TrustedFiles &t = trusted();
    QMutexLocker lock(&t.mutex);
    Entry &entry = t.files[keyOf(path)];
    entry.closing.reset();
    entry.used = ++t.clock;
}

namespace {

// How the unchanged file was closed, if it is trusted.
std::optional<Closing> trustedClosing(const QString &path)
{
    TrustedFiles &t = trusted();
    const QString key = keyOf(path);
    QMutexLocker lock(&t.mutex);
    loadHomeList(t);
    const auto it = t.files.find(key);
    if (it == t.files.end() || !it->closing)
        return std::nullopt;
    const std::optional<FileStamp> now = stampOf(key);
    if (now && *now == it->closing->stamp && !hasLeftoverLog(key)) {
        it->used = ++t.clock;
        return it->closing;
    }
    // Changed elsewhere: it has to pass the check again.
    const bool listed = it->saved.has_value();
    t.files.erase(it);
    if (listed)
        saveHomeList(t);
    return std::nullopt;
}

} // namespace

bool isTrustedDocumentFile(const QString &path)
{
    return trustedClosing(path).has_value();
}

bool isSettledDocumentFile(const QString &path)
{
    const std::optional<Closing> closing = trustedClosing(path);
    return closing && closing->settled;
}

void noteDocumentClosed(const QString &path, bool settled)
{
    TrustedFiles &t = trusted();
    const QString key = keyOf(path);
    QMutexLocker lock(&t.mutex);
    const auto it = t.files.find(key);
    if (it == t.files.end())
        return;
    const std::optional<FileStamp> now = stampOf(key);
    if (!now) {
        t.files.erase(it);
        return;
    }
    it->closing = Closing {*now, settled};
    it->used = ++t.clock;
    if (it->saved == it->closing)
        return; // closed unchanged: the home's list has it already
    loadHomeList(t);
    saveHomeList(t);
}

void trustClosedDocument(const QString &path)
{
    trustDocumentFile(path);
    noteDocumentClosed(path, false);
}

void forgetTrustedDocuments()
{
    TrustedFiles &t = trusted();
    QMutexLocker lock(&t.mutex);
    t.files.clear();
    t.loadedHome.clear();
}

} // namespace quillet::store
