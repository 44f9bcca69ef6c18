// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/BookmarkNames.h"

#include "core/common/ProgressView.h"
#include "core/store/BookmarkTable.h"
#include "core/store/JetDialect.h"

namespace quillet::outline {

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
    return store::BookmarkTable(db).nameExists(headingKey, name);
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
    for (const QString &name : store::BookmarkTable(db).liveNames(headingKey))
        set.m_names.insert(name.toUtf8());
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
            common::yieldToEventLoop();
    }
}

} // namespace quillet::outline
