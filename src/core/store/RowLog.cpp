// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/RowLog.h"

#include <algorithm>

namespace quillet::store {

void RowLog::buried(qint64 id, qint64 slot)
{
    m_entries.push_back({id, slot, Kind::Buried, 0, 0});
    m_firstSlot = m_firstSlot == 0 ? slot : std::min(m_firstSlot, slot);
    m_lastSlot = std::max(m_lastSlot, slot);
}

void RowLog::changed(qint64 id, BookmarkChange old)
{
    m_entries.push_back({id, static_cast<qint64>(m_changes.size()), Kind::Changed, 0, 0});
    m_changes.push_back(std::move(old));
}

int RowLog::count(Kind kind) const
{
    return static_cast<int>(std::count_if(
        m_entries.cbegin(), m_entries.cend(), [kind](const Entry &e) { return e.kind == kind; }));
}

} // namespace quillet::store
