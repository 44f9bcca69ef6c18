// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/HeadingWalk.h"

namespace quillet::outline {

HeadingWalk::HeadingWalk(const HeadingNode *start)
{
    if (start)
        m_pending.push_back({start, 0});
}

HeadingWalk::HeadingWalk(const std::vector<std::unique_ptr<HeadingNode>> &siblings)
{
    m_pending.reserve(siblings.size());
    for (auto it = siblings.rbegin(); it != siblings.rend(); ++it)
        m_pending.push_back({it->get(), 0});
}

bool HeadingWalk::next()
{
    if (m_node && !m_skipChildren) {
        const auto &children = m_node->children;
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            m_pending.push_back({it->get(), m_depth + 1});
    }
    m_skipChildren = false;
    if (m_pending.empty()) {
        m_node = nullptr;
        return false;
    }
    m_node = m_pending.back().node;
    m_depth = m_pending.back().depth;
    m_pending.pop_back();
    return true;
}

} // namespace quillet::outline
