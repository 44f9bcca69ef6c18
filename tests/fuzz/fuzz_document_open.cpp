// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a document from any bytes, as File > Open does: open it with the
// document password, load the heading tree and fill the root heading's list.
// Anything may be refused with an EngineError; nothing may crash or hang.
//
// First byte even: the bytes are the file itself (mostly refused by the
// cipher). Odd: the rest is a plain SQLite file whose tables are copied into
// an encrypted document first, so that damaged content (wrong columns and
// types, cycles, odd texts) reaches the loading code.
#include "FuzzHome.h"
#include "core/outline/BookmarkList.h"
#include "core/outline/HeadingTreeModel.h"
#include "core/outline/HeadingTreeStorage.h"
#include "core/store/EngineError.h"
#include "core/store/JetDialect.h"
#include "core/store/Schema.h"

#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

#include <cstdlib>
#include <memory>

using namespace quillet;

namespace {

// Copies what SQLite can read of the plain file into a new encrypted one
// made the way the store makes documents.
void encryptPlain(const QString &plain, const QString &document)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(plain.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr)
            == SQLITE_OK
        && jet::registerDialect(db) == SQLITE_OK) {
        const QByteArray sql = "ATTACH '" + document.toUtf8() + "' AS enc KEY '"
            + store::kDocumentPassword
            + "'; PRAGMA enc.cipher_page_size = 4096; SELECT sqlcipher_export('enc');"
              " DETACH enc;";
        sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
}

void removeDocument(const QString &path)
{
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    QTemporaryDir *dir = &fuzzFolder("fuzz_document_open", QStringLiteral("home"));
    // A new name every time: a file is checked once and then trusted.
    static int counter = 0;
    const QString path = dir->filePath(QStringLiteral("doc%1.rdb").arg(++counter));
    if (data[0] % 2 == 0) {
        writeFuzzFile(path, QByteArrayView(data + 1, qsizetype(size - 1)));
    } else {
        const QString plain = dir->filePath(QStringLiteral("plain.db"));
        writeFuzzFile(plain, QByteArrayView(data + 1, qsizetype(size - 1)));
        encryptPlain(plain, path);
        QFile::remove(plain);
    }

    try {
        std::unique_ptr<store::Database> db = store::openDocumentDatabase(path);
        outline::HeadingTreeModel tree;
        outline::loadHeadingTree(*db, tree, nullptr);
        outline::BookmarkList list({});
        list.fill(tree.root()->key, db.get());
    } catch (const store::EngineError &) {
        // Refused with a message: fine.
    }
    removeDocument(path);
    return 0;
}
