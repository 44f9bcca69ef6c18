// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/QtPageRenderer.h"

#include "core/snapshots/CaptureLimits.h"
#include "core/snapshots/PageTiles.h"

#include <QAuthenticator>
#include <QPainter>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <algorithm>
#include <cmath>
#include <limits>

namespace quillet::platform {

namespace {

// A scrolled frame reaches the view two animation frames after the scroll,
// and a grab sees it a little later still.
constexpr int kSettleMs = 50;
constexpr int kPollMs = 2;
// A capture that takes longer than this from its start, and this much more
// for each of its tiles, has lost its page (a crash, a navigation, a view
// that never paints); it then fails instead of waiting for ever.
constexpr int kCaptureTimeoutMs = 15000;
constexpr int kTileTimeoutMs = 2000;

const double kZoomFactors[PageRenderer::kTextZoomLevels] = {0.75, 0.875, 1.0, 1.25, 1.5};

// The page's full size and the part of it in view, without scroll bars, in
// page pixels.
const QString kMeasureScript = QStringLiteral(
    "(function(){var d=document.documentElement,b=document.body,v=window.visualViewport;"
    "if(!d)return null;"
    "return [Math.max(d.scrollWidth,b?b.scrollWidth:0),Math.max(d.scrollHeight,b?b.scrollHeight:0),"
    "Math.floor(v?v.width:d.clientWidth),Math.floor(v?v.height:d.clientHeight)];})()");

// A page from the web never reads local files, whatever it asks for: only
// a page loaded from a file may (its pictures and style sheets).
class LocalFileGuard : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        // Loading a file as the page itself is for acceptNavigationRequest.
        if (info.requestUrl().isLocalFile() && !info.firstPartyUrl().isLocalFile()
            && info.resourceType() != QWebEngineUrlRequestInfo::ResourceTypeMainFrame)
            info.block(true);
    }
};

// The page of the snapshot browser: everything that would reach past the
// view is refused quietly.
class SnapPage : public QWebEnginePage
{
public:
    SnapPage(QWebEngineProfile *profile, QObject *parent)
        : QWebEnginePage(profile, parent)
    {
        connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl &origin, Feature feature) {
                setFeaturePermission(origin, feature, PermissionDeniedByUser);
            });
        connect(this, &QWebEnginePage::fileSystemAccessRequested, this,
            [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
        connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
            [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
        connect(this, &QWebEnginePage::fullScreenRequested, this,
            [](QWebEngineFullScreenRequest request) { request.reject(); });
        connect(this, &QWebEnginePage::authenticationRequired, this,
            [](const QUrl &, QAuthenticator *authenticator) { *authenticator = QAuthenticator(); });
        connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
            [](const QUrl &, QAuthenticator *authenticator, const QString &) {
                *authenticator = QAuthenticator();
            });
    }

protected:
    QWebEnginePage *createWindow(WebWindowType) override { return nullptr; }
    // Local files open only when the program asks for them, never through
    // a link, a redirect or a script of a page.
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool) override
    {
        return !url.isLocalFile() || type == NavigationTypeTyped;
    }
    void javaScriptAlert(const QUrl &, const QString &) override { }
    bool javaScriptConfirm(const QUrl &, const QString &) override { return false; }
    bool javaScriptPrompt(const QUrl &, const QString &, const QString &, QString *) override
    {
        return false;
    }
    QStringList chooseFiles(FileSelectionMode, const QStringList &, const QStringList &) override
    {
        return {};
    }
};

} // namespace

struct QtPageRenderer::Capture
{
    quint64 token = 0; // results of an earlier capture carry another one
    std::function<void(const QImage &)> done;
    QImage canvas;
    double scale = 1.0; // device pixels per page pixel
    QSize tile; // in device pixels
    std::vector<QPoint> positions; // in page pixels
    size_t next = 0;
};

QtPageRenderer::QtPageRenderer(QWidget *parent)
    : m_profile(new QWebEngineProfile(this)) // no name: nothing is kept on disk
{
    m_profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    connect(m_profile, &QWebEngineProfile::downloadRequested, this,
        [](QWebEngineDownloadRequest *download) { download->cancel(); });
    m_profile->setUrlRequestInterceptor(new LocalFileGuard(m_profile));

    m_view = new QWebEngineView(parent);
    m_view->setObjectName(QStringLiteral("webSnap"));
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    auto *page = new SnapPage(m_profile, m_view);
    QWebEngineSettings *s = page->settings();
    s->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
    s->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    s->setAttribute(QWebEngineSettings::AllowGeolocationOnInsecureOrigins, false);
    s->setAttribute(QWebEngineSettings::AllowWindowActivationFromJavaScript, false);
    s->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    s->setAttribute(QWebEngineSettings::HyperlinkAuditingEnabled, false);
    s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    s->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    s->setAttribute(QWebEngineSettings::ScrollAnimatorEnabled, false);
    s->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);

    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
            m_stopped = false;
        else if (info.status() != QWebEngineLoadingInfo::LoadStoppedStatus && !m_stopped
            && listener())
            listener()->documentCompleted();
    });
    connect(page, &QWebEnginePage::linkHovered, this, [this](const QString &link) {
        if (!link.isEmpty() && listener())
            listener()->statusTextChanged(link);
    });
    connect(page, &QWebEnginePage::renderProcessTerminated, this, [this] {
        if (m_capture)
            endCapture(QImage());
    });
    m_view->setPage(page);

    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, [this] { endCapture(QImage()); });
}

QtPageRenderer::~QtPageRenderer()
{
    // The page (a child of the view) must go before its profile.
    delete m_view;
}

double QtPageRenderer::zoomFactorOf(int level)
{
    return kZoomFactors[std::clamp(level, 0, kTextZoomLevels - 1)];
}

void QtPageRenderer::navigate(const QString &address)
{
    if (!m_view)
        return;
    const QUrl url = QUrl::fromUserInput(address);
    // A page from the web reads no local files; a local page may read those
    // next to it.
    m_view->page()->settings()->setAttribute(
        QWebEngineSettings::LocalContentCanAccessFileUrls, url.isLocalFile());
    m_view->setUrl(url);
    // The engine reports no load for the empty page; it is complete at once.
    if (url.toString() == QLatin1String("about:blank")) {
        QTimer::singleShot(0, this, [this] {
            if (listener())
                listener()->documentCompleted();
        });
    }
}

void QtPageRenderer::reload()
{
    // Not in the middle of a capture: the tiles would come from two pages.
    if (m_view && !m_capture)
        m_view->reload();
}

void QtPageRenderer::stop()
{
    if (!m_view)
        return;
    // A load that is stopped never counts as complete.
    m_stopped = true;
    m_view->stop();
}

void QtPageRenderer::setTextZoom(int level)
{
    if (m_view)
        m_view->setZoomFactor(zoomFactorOf(level));
}

void QtPageRenderer::runScript(const QString &script, std::function<void(const QVariant &)> then)
{
    if (!m_view) {
        endCapture(QImage());
        return;
    }
    QPointer<QtPageRenderer> self(this);
    m_view->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
        [self, token = m_capture->token, then = std::move(then)](const QVariant &result) {
            if (self && self->isCapture(token))
                then(result);
        });
}

void QtPageRenderer::capturePage(std::function<void(const QImage &)> done)
{
    if (m_capture || !m_view) {
        done(QImage());
        return;
    }
    m_capture = std::make_unique<Capture>();
    m_capture->token = ++m_lastToken;
    m_capture->done = std::move(done);
    m_watchdog.start(kCaptureTimeoutMs);
    runScript(kMeasureScript, [this](const QVariant &sizes) { measured(sizes); });
}

void QtPageRenderer::cancelCapture()
{
    if (!m_capture)
        return;
    QTimer::singleShot(0, this, [this, token = m_capture->token] {
        if (isCapture(token))
            endCapture(QImage());
    });
}

void QtPageRenderer::measured(const QVariant &sizes)
{
    const QVariantList values = sizes.toList();
    if (values.size() != 4) {
        endCapture(QImage());
        return;
    }
    Capture &c = *m_capture;
    c.scale = m_view->zoomFactor() * m_view->devicePixelRatioF();
    const double pageW = std::max(values[0].toDouble(), 0.0);
    const double pageH = std::max(values[1].toDouble(), 0.0);
    const QSize tile(values[2].toInt(), values[3].toInt());
    // The page in device pixels, and the top-left part of it a picture
    // holds; the tiles cover that part only.
    const QSize page(int(std::min(pageW * c.scale, 1e9)), int(std::min(pageH * c.scale, 1e9)));
    const QSize canvas = snapshots::capturedPart(page);
    if (canvas != page && listener())
        listener()->captureCut(page, canvas);
    const QSize covered(int(canvas.width() / c.scale), int(canvas.height() / c.scale));
    // Each tile shows once, however often the walk passes it.
    for (const QPoint &p : snapshots::tilePositions(covered, tile)) {
        if (std::find(c.positions.begin(), c.positions.end(), p) == c.positions.end())
            c.positions.push_back(p);
    }
    c.tile = QSize(std::lround(tile.width() * c.scale), std::lround(tile.height() * c.scale));
    if (c.positions.empty() || canvas.isEmpty()) {
        endCapture(QImage());
        return;
    }
    c.canvas = QImage(canvas, QImage::Format_RGB32);
    if (c.canvas.isNull()) {
        endCapture(QImage());
        return;
    }
    c.canvas.fill(Qt::white);
    // Still counted from the capture's start: each tile adds its share.
    const qint64 tiles = qint64(c.positions.size());
    m_watchdog.start(int(std::min<qint64>(
        m_watchdog.remainingTime() + tiles * kTileTimeoutMs, std::numeric_limits<int>::max())));
    scrollToNextTile();
}

void QtPageRenderer::scrollToNextTile()
{
    Capture &c = *m_capture;
    if (c.next >= c.positions.size()) {
        endCapture(c.canvas);
        return;
    }
    const QPoint p = c.positions[c.next++];
    // The browser stops the scroll at the page's edges; the tile goes where
    // the page really is, then.
    runScript(QStringLiteral("window.scrollTo({left:%1,top:%2,behavior:'instant'});"
                             "window.__quilletFrame=false;"
                             "requestAnimationFrame(function(){requestAnimationFrame(function(){"
                             "window.__quilletFrame=true;});});")
                  .arg(p.x())
                  .arg(p.y()),
        [this](const QVariant &) { waitForFrame(); });
}

void QtPageRenderer::waitForFrame()
{
    runScript(QStringLiteral("window.__quilletFrame?[Math.round(window.scrollX),"
                             "Math.round(window.scrollY)]:null"),
        [this](const QVariant &result) {
            const QVariantList scrolled = result.toList();
            const quint64 token = m_capture->token;
            if (scrolled.size() != 2) {
                QTimer::singleShot(kPollMs, this, [this, token] {
                    if (isCapture(token))
                        waitForFrame();
                });
                return;
            }
            const QPoint at(scrolled[0].toInt(), scrolled[1].toInt());
            QTimer::singleShot(kSettleMs, this, [this, token, at] {
                if (isCapture(token))
                    copyTile(at);
            });
        });
}

void QtPageRenderer::copyTile(QPoint scrolled)
{
    Capture &c = *m_capture;
    if (!m_view) {
        endCapture(QImage());
        return;
    }
    QImage frame = m_view->grab().toImage();
    frame.setDevicePixelRatio(1.0);
    const QPoint target(std::lround(scrolled.x() * c.scale), std::lround(scrolled.y() * c.scale));
    QPainter painter(&c.canvas);
    painter.drawImage(target, frame, QRect(QPoint(0, 0), c.tile));
    painter.end();
    scrollToNextTile();
}

bool QtPageRenderer::isCapture(quint64 token) const
{
    return m_capture && m_capture->token == token;
}

void QtPageRenderer::endCapture(QImage image)
{
    m_watchdog.stop();
    if (!m_capture)
        return;
    const auto done = std::move(m_capture->done);
    m_capture.reset(); // `image` may be its canvas: a copy is kept
    if (done)
        done(image);
}

} // namespace quillet::platform
