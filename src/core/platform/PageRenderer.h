// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

namespace quillet::platform {

// What a page renderer reports while it works.
class PageRendererListener
{
public:
    virtual ~PageRendererListener() = default;
    // The top-level document finished loading (also when it failed and an
    // error page shows); not for a load that was stopped.
    virtual void documentCompleted() = 0;
    virtual void statusTextChanged(const QString &text) = 0;
    // The page was larger than a picture may be: the capture in work keeps
    // the top-left `kept` part of its `page` (both in device pixels).
    virtual void captureCut(QSize page, QSize kept)
    {
        Q_UNUSED(page);
        Q_UNUSED(kept);
    }
};

// The embedded browser of the snapshot window: loads pages and captures the
// whole of the loaded page, not only the part in view.
class PageRenderer
{
public:
    static constexpr int kTextZoomLevels = 5; // 0 smallest ... 4 largest
    static constexpr int kDefaultTextZoom = 2;

    virtual ~PageRenderer() = default;
    void setListener(PageRendererListener *listener) { m_listener = listener; }

    virtual void navigate(const QString &address) = 0;
    // Loads the current address again.
    virtual void reload() = 0;
    // Stops loading; the part loaded so far stays.
    virtual void stop() = 0;
    virtual void setTextZoom(int level) = 0;
    // Captures the page as loaded now; `done` gets the picture, a null one
    // when the capture failed. `done` is not called once the renderer is
    // gone.
    virtual void capturePage(std::function<void(const QImage &)> done) = 0;
    // Ends the capture in work before its next tile; its `done` then gets a
    // null picture, later, never inside this call.
    virtual void cancelCapture() = 0;

protected:
    PageRendererListener *listener() const { return m_listener; }

private:
    PageRendererListener *m_listener = nullptr;
};

} // namespace quillet::platform
