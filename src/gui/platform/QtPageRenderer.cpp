#include "platform/QtPageRenderer.h"

#include "snapshots/PageTiles.h"

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
#include <QWebEngineView>
#include <algorithm>
#include <cmath>

namespace quillet::platform {

namespace {

// A scrolled frame reaches the view two animation frames after the scroll,
// and a grab sees it a little later still.
constexpr int kSettleMs = 50;
constexpr int kPollMs = 2;
// A step of a capture that takes longer has lost its page (a crash, a
// navigation); the capture then fails instead of waiting for ever.
constexpr int kStepTimeoutMs = 15000;
// The longest side of a captured picture; longer pages keep their top and
// left part.
constexpr int kLargestSide = 32767;

const double kZoomFactors[PageRenderer::kTextZoomLevels] = {0.75, 0.875, 1.0, 1.25, 1.5};

// The page's full size and the part of it in view, without scroll bars, in
// page pixels.
const QString kMeasureScript = QStringLiteral(
    "(function(){var d=document.documentElement,b=document.body,v=window.visualViewport;"
    "if(!d)return null;"
    "return [Math.max(d.scrollWidth,b?b.scrollWidth:0),Math.max(d.scrollHeight,b?b.scrollHeight:0),"
    "Math.floor(v?v.width:d.clientWidth),Math.floor(v?v.height:d.clientHeight)];})()");

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
    m_watchdog.setInterval(kStepTimeoutMs);
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
    m_watchdog.start();
    QPointer<QtPageRenderer> self(this);
    m_view->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
        [self, then = std::move(then)](const QVariant &result) {
            if (self && self->m_capture)
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
    m_capture->done = std::move(done);
    runScript(kMeasureScript, [this](const QVariant &sizes) { measured(sizes); });
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
    int pageW = values[0].toInt();
    int pageH = values[1].toInt();
    const QSize tile(values[2].toInt(), values[3].toInt());
    pageW = std::min(pageW, static_cast<int>(kLargestSide / c.scale));
    pageH = std::min(pageH, static_cast<int>(kLargestSide / c.scale));
    // Each tile shows once, however often the walk passes it.
    for (const QPoint &p : snapshots::tilePositions(QSize(pageW, pageH), tile)) {
        if (std::find(c.positions.begin(), c.positions.end(), p) == c.positions.end())
            c.positions.push_back(p);
    }
    const QSize canvas(std::lround(pageW * c.scale), std::lround(pageH * c.scale));
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
            if (scrolled.size() != 2) {
                QTimer::singleShot(kPollMs, this, [this] {
                    if (m_capture)
                        waitForFrame();
                });
                return;
            }
            const QPoint at(scrolled[0].toInt(), scrolled[1].toInt());
            QTimer::singleShot(kSettleMs, this, [this, at] {
                if (m_capture)
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
