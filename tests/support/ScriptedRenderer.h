// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/platform/PageRenderer.h"

#include <QStringList>
#include <functional>

namespace quillet::test {

// A page renderer driven by the test: it records what it was asked, a page
// completes when the test says so, and a capture ends with the picture the
// test hands over.
class ScriptedRenderer : public platform::PageRenderer
{
public:
    void navigate(const QString &address) override { navigations << address; }
    void reload() override { ++reloads; }
    void stop() override { ++stops; }
    void setTextZoom(int level) override { zoom = level; }
    void capturePage(std::function<void(const QImage &)> done) override
    {
        ++captures;
        m_done = std::move(done);
    }

    void cancelCapture() override { ++cancels; }

    // The page finished loading.
    void complete()
    {
        if (listener())
            listener()->documentCompleted();
    }
    bool capturing() const { return static_cast<bool>(m_done); }
    // Ends the capture in work with `image` (null: it failed).
    void finishCapture(const QImage &image)
    {
        auto done = std::move(m_done);
        m_done = nullptr;
        if (done)
            done(image);
    }

    // The capture in work keeps only part of the page.
    void cut(QSize page, QSize kept)
    {
        if (listener())
            listener()->captureCut(page, kept);
    }

    QStringList navigations;
    int reloads = 0;
    int stops = 0;
    int captures = 0;
    int cancels = 0;
    int zoom = kDefaultTextZoom;

private:
    std::function<void(const QImage &)> m_done;
};

} // namespace quillet::test
