#include "browser/BookmarkNames.h"

#include "platform/ProgressView.h"
#include "store/Database.h"
#include "store/JetDialect.h"
#include "store/Recordset.h"
#include "store/StoreFiles.h"

namespace quillet::browser {

namespace {

// Candidates tried between two looks at the event loop.
constexpr int kTriesPerYield = 100;

QString numberedName(const QString &name, int n)
{
    return name + QStringLiteral(" #") + QString::number(n);
}

} // namespace

bool bookmarkNameExists(store::Database &db, const QString &name, const QString &headingKey)
{
    auto rs = db.openRecordset(QStringLiteral("select * from tbItems where tKey ='")
        + store::sqlQuote(headingKey) + QStringLiteral("' and urlName ='") + store::sqlQuote(name)
        + QStringLiteral("' and delFlag <> -1"));
    return !rs->isEmpty();
}

QString uniqueBookmarkName(store::Database &db, const QString &name, const QString &headingKey)
{
    return BookmarkNameSet::read(db, headingKey).uniqueName(name);
}

bool BookmarkNameSet::EngineOrder::operator()(const QByteArray &a, const QByteArray &b) const
{
    return jet::compareText(a, b) < 0;
}

BookmarkNameSet BookmarkNameSet::read(store::Database &db, const QString &headingKey)
{
    BookmarkNameSet set;
    auto rs = db.openRecordset(QStringLiteral("select urlName from tbItems where tKey ='")
        + store::sqlQuote(headingKey) + QStringLiteral("' and delFlag <> -1"));
    for (; !rs->eof(); rs->moveNext()) {
        const QVariant name = rs->value(QStringLiteral("urlName"));
        // A Null name equals nothing, as in the engine.
        if (name.isValid())
            set.m_names.insert(name.toString().toUtf8());
    }
    return set;
}

bool BookmarkNameSet::contains(const QString &name) const
{
    return m_names.find(name.toUtf8()) != m_names.end();
}

void BookmarkNameSet::insert(const QString &name)
{
    m_names.insert(name.toUtf8());
}

QString BookmarkNameSet::uniqueName(const QString &name) const
{
    for (int n = 1;; ++n) {
        const QString candidate = numberedName(name, n);
        if (!contains(candidate))
            return candidate;
        if (n % kTriesPerYield == 0)
            platform::yieldToEventLoop();
    }
}

} // namespace quillet::browser
