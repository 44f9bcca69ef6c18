// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/platform/BrowserEngine.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWebEngineView>
#include <memory>
#include <vector>

class QWebEngineProfile;
class QWidget;

namespace quillet::platform {

// webSnap: the snapshot window's browser. Pages run their scripts (most need
// them to render) in a profile of their own that keeps nothing on disk, and
// may not do anything behind the user's back: no pop-up windows, downloads,
// permission prompts, script dialogs, file choosers or outside programs.
//
// A capture scrolls the page tile by tile (see snapshots::tilePositions) and
// copies each tile out of the view once the scrolled frame has been drawn.
class QtPageRenderer : public QObject, public PageRendererView
{
    Q_OBJECT
public:
    explicit QtPageRenderer(QWidget *parent);
    ~QtPageRenderer() override;

    QWebEngineView *view() const override { return m_view; }
    bool capturing() const { return m_capture != nullptr; }

    void navigate(const QString &address) override;
    void reload() override;
    void stop() override;
    void setTextZoom(int level) override;
    void capturePage(std::function<void(const QImage &)> done) override;
    void cancelCapture() override;

    // The zoom factors of the five text sizes.
    static double zoomFactorOf(int level);

private:
    struct Capture;
    void measured(const QVariant &sizes);
    void scrollToNextTile();
    void waitForFrame();
    void copyTile(QPoint scrolled);
    void endCapture(QImage image);
    // A capture is in work, and it is the one `token` belongs to.
    bool isCapture(quint64 token) const;
    void runScript(const QString &script, std::function<void(const QVariant &)> then);

    QWebEngineProfile *m_profile = nullptr;
    QPointer<QWebEngineView> m_view;
    std::unique_ptr<Capture> m_capture;
    QTimer m_watchdog; // from the start of a capture
    quint64 m_lastToken = 0;
    bool m_stopped = false;
};

} // namespace quillet::platform
