// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/DescriptionPane.h"

#include <QFile>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

namespace quillet::pages {

namespace {

// Longer pages would not fit the 2 MB a page given from memory may take once
// encoded into its address (up to three bytes per byte); they load from a
// file in the html folder instead.
constexpr qsizetype kLargestInlinePage = (2 * 1024 * 1024 - 4096) / 3;

const QString kPageFile = QStringLiteral("description.htm");

} // namespace

// Every request of the page, down to pictures and style sheets, passes here:
// anything but the page itself and the html folder's files is refused.
class PaneGuard : public QWebEngineUrlRequestInterceptor
{
public:
    explicit PaneGuard(DescriptionPane *pane)
        : m_pane(pane)
    {
    }
    void setFolder(const QString &folder) { m_folder = folder; }
    const QString &folder() const { return m_folder; }

    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        const QUrl url = info.requestUrl();
        if (paneMayLoad(url, m_folder))
            return;
        info.block(true);
        QMetaObject::invokeMethod(
            m_pane, [pane = m_pane, url] { Q_EMIT pane->requestBlocked(url); },
            Qt::QueuedConnection);
    }

private:
    DescriptionPane *m_pane;
    QString m_folder;
};

// Only the pane itself navigates its page; a click on a link goes to the
// browser.
class PanePage : public QWebEnginePage
{
public:
    explicit PanePage(DescriptionPane *pane)
        : QWebEnginePage(pane)
        , m_pane(pane)
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        if (type == NavigationTypeLinkClicked) {
            m_pane->openClickedLink(url);
            return false;
        }
        if (!paneMayLoad(url, m_pane->m_guard->folder()))
            return false;
        // Frames of the page may load what the guard lets through; the page
        // itself changes only when the pane loads one (back, forward, reload
        // and redirects are refused).
        return !isMainFrame || type == NavigationTypeTyped;
    }

    QWebEnginePage *createWindow(WebWindowType) override { return nullptr; }

private:
    DescriptionPane *m_pane;
};

DescriptionPane::DescriptionPane(QWidget *parent)
    : QWebEngineView(parent)
    , m_guard(std::make_unique<PaneGuard>(this))
{
    setObjectName(QStringLiteral("webDescrip"));
    setContextMenuPolicy(Qt::NoContextMenu);
    m_guard->setFolder(m_writer.folder());

    auto *page = new PanePage(this);
    page->setUrlRequestInterceptor(m_guard.get());
    QWebEngineSettings *s = page->settings();
    s->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true); // its own assets
    s->setAttribute(QWebEngineSettings::LocalStorageEnabled, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    s->setAttribute(QWebEngineSettings::HyperlinkAuditingEnabled, false);
    s->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    s->setAttribute(QWebEngineSettings::TouchIconsEnabled, false);
    s->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    s->setAttribute(QWebEngineSettings::WebGLEnabled, false);
    s->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
    s->setAttribute(QWebEngineSettings::AllowGeolocationOnInsecureOrigins, false);
    s->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    s->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
    s->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    s->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    // A link dropped on the pane must not replace its page, and a refresh
    // must not take the focus from the list.
    s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    s->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    connect(page, &QWebEnginePage::newWindowRequested, this,
        [this](QWebEngineNewWindowRequest &request) {
            // Links open in a new window (target="_blank"): the browser's.
            if (request.isUserInitiated())
                openClickedLink(request.requestedUrl());
        });
    setPage(page);
}

DescriptionPane::~DescriptionPane()
{
    // The page outlives this body; it must not call a guard that is gone.
    page()->setUrlRequestInterceptor(nullptr);
}

void DescriptionPane::showBookmark(const store::BookmarkRow &row)
{
    const std::optional<QString> page = m_writer.preparePage(row);
    if (page)
        loadPage(*page, m_writer.folder());
}

void DescriptionPane::loadPage(const QString &page, const QString &folder)
{
    m_guard->setFolder(folder);
    const QByteArray bytes = page.toUtf8();
    const QString pageFile = folder + QLatin1Char('/') + kPageFile;
    if (bytes.size() <= kLargestInlinePage) {
        if (m_pageFileWritten) {
            QFile::remove(pageFile);
            m_pageFileWritten = false;
        }
        QWebEngineView::setContent(bytes, QStringLiteral("text/html;charset=UTF-8"),
            QUrl::fromLocalFile(folder + QLatin1Char('/')));
        return;
    }
    QFile file(pageFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return;
    file.close();
    m_pageFileWritten = true;
    setUrl(QUrl::fromLocalFile(pageFile));
}

void DescriptionPane::blank()
{
    m_writer.supersede();
    setUrl(QUrl(QStringLiteral("about:blank")));
}

void DescriptionPane::openClickedLink(const QUrl &url)
{
    if (!paneLinkOpensInBrowser(url))
        return;
    // Not from inside the engine's callback: opening may show a message box.
    QMetaObject::invokeMethod(
        this,
        [this, url] {
            Q_EMIT linkClicked(url);
            if (m_desktop)
                m_desktop->openLink(url.toString());
        },
        Qt::QueuedConnection);
}

} // namespace quillet::pages
