#pragma once

#include <QString>

namespace quillet::platform {

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

// Panel 1 of the status bar.
class StatusView
{
public:
    virtual ~StatusView() = default;
    virtual void setStatusText(const QString &text) = 0;
};

// Lets pending window messages run (painting, input) during long work.
void yieldToEventLoop();

} // namespace quillet::platform
