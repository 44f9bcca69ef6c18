#pragma once

#include <QString>
#include <QStringList>

namespace quillet::browser {

// Bookmarks held by Cut or Copy, with the heading they came from.
class BookmarkClipboard
{
public:
    // Forgets the held bookmarks, so nothing from an old state can be pasted.
    void clear()
    {
        m_sourceHeading.clear();
        m_keys.clear();
        m_cut = false;
    }
    bool isEmpty() const { return m_keys.isEmpty(); }

private:
    QString m_sourceHeading;
    QStringList m_keys;
    bool m_cut = false;
};

} // namespace quillet::browser
