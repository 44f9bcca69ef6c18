// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace quillet::outline {

// The program's own clipboard for bookmarks (never the system's): the
// bookmarks taken by Cut or Copy and the heading they came from.
class BookmarkClipboard
{
public:
    enum class Mode
    {
        Empty = 0,
        Cut = 1,
        Copy = 2
    };

    // Forgets the held bookmarks, so nothing from an old state can be pasted.
    void clear()
    {
        m_mode = Mode::Empty;
        m_sourceHeading.clear();
        m_keys.clear();
    }
    void take(Mode mode, const QString &sourceHeading, const QStringList &keys)
    {
        m_mode = mode;
        m_sourceHeading = sourceHeading;
        m_keys = keys;
    }
    bool isEmpty() const { return m_mode == Mode::Empty; }
    Mode mode() const { return m_mode; }
    const QString &sourceHeading() const { return m_sourceHeading; }
    const QStringList &keys() const { return m_keys; }

private:
    Mode m_mode = Mode::Empty;
    QString m_sourceHeading;
    QStringList m_keys;
};

} // namespace quillet::outline
