// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/pages/DescriptionPane.h"

#include "core/pages/RichTextPage.h"

#include <QFile>
#include <QImage>
#include <QTextDocument>
#include <QTextFrame>

namespace quillet::pages {

DescriptionPane::DescriptionPane(QWidget *parent)
    : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("webDescrip"));
    setContextMenuPolicy(Qt::NoContextMenu);
    setFrameShape(QFrame::NoFrame);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    document()->setDocumentMargin(0);
    m_writer.setPageTemplate(Resource::DescriptionViewTemplate);
    connect(this, &QTextBrowser::anchorClicked, this, &DescriptionPane::openClickedLink);
}

void DescriptionPane::showBookmark(const store::BookmarkRow &row)
{
    const std::optional<QString> page = m_writer.preparePage(row);
    if (page)
        showPage(flattenDeepTables(*page));
}

void DescriptionPane::showPage(const QString &page)
{
    m_folder = m_writer.folder();
    // A thumbnail file of the same name may hold a new picture now.
    document()->clear();
    setHtml(page);
    // The page's background fills the pane, also below the page.
    const QBrush background = document()->rootFrame()->frameFormat().background();
    const QBrush base
        = background.style() == Qt::NoBrush ? QPalette().brush(QPalette::Base) : background;
    if (palette().brush(QPalette::Base) != base) {
        QPalette colours = palette();
        colours.setBrush(QPalette::Base, base);
        setPalette(colours);
    }
}

void DescriptionPane::blank()
{
    m_writer.supersede();
    showPage(QString());
}

QVariant DescriptionPane::loadResource(int type, const QUrl &name)
{
    // Pictures of the page's own text (data: addresses) are decoded by the
    // document itself.
    if (name.scheme() == QLatin1String("data"))
        return QVariant();
    const bool picture = type == QTextDocument::ImageResource;
    if (picture || type == QTextDocument::StyleSheetResource) {
        const QString path = paneResourceFile(name, m_folder);
        QFile file(path);
        if (!path.isEmpty() && file.open(QIODevice::ReadOnly))
            return file.readAll();
    }
    Q_EMIT requestBlocked(name);
    // Not a null value: the document would then read a local file itself.
    if (picture) {
        QImage nothing(1, 1, QImage::Format_ARGB32);
        nothing.fill(Qt::transparent);
        return nothing;
    }
    return QString(QLatin1String(""));
}

void DescriptionPane::openClickedLink(const QUrl &url)
{
    if (!paneLinkOpensInBrowser(url))
        return;
    // Not from inside the view's mouse handling: opening may show a message
    // box.
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
