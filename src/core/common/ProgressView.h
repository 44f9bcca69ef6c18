// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::common {

// A progress bar that long operations drive (the status bar's, or the
// splash window's while the first document loads).
class ProgressView
{
public:
    virtual ~ProgressView() = default;
    virtual void setMaximum(qint64 maximum) = 0;
    virtual void setValue(qint64 value) = 0;
    virtual void setVisible(bool visible) = 0;
};

// Hides the bar when a long piece of work ends, however it ends.
class HideProgressAtEnd
{
public:
    explicit HideProgressAtEnd(ProgressView *progress)
        : m_progress(progress)
    {
    }
    ~HideProgressAtEnd()
    {
        if (m_progress)
            m_progress->setVisible(false);
    }
    HideProgressAtEnd(const HideProgressAtEnd &) = delete;
    HideProgressAtEnd &operator=(const HideProgressAtEnd &) = delete;

private:
    ProgressView *m_progress;
};

// Panel 1 of the status bar.
class StatusView
{
public:
    virtual ~StatusView() = default;
    virtual void setStatusText(const QString &text) = 0;
};

// Lets the windows repaint and timers run during long work, but holds clicks
// and keys back until the work is done: a command started from inside another
// would find the document half changed. Every long command yields here.
void yieldToEventLoop();

} // namespace quillet::common
