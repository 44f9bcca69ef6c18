// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPixmap>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

namespace quillet::test {

// What the description pane's rich text holds: its pictures as the view
// loaded them, its links, and where they are.

struct PanePicture
{
    QString name; // as the page names it
    QImage image; // as the view loaded it (null when it loaded nothing)
    int position = -1;
};

inline QImage loadedImage(const QVariant &resource)
{
    if (resource.canConvert<QPixmap>() && resource.userType() == QMetaType::QPixmap)
        return resource.value<QPixmap>().toImage();
    if (resource.userType() == QMetaType::QImage)
        return resource.value<QImage>();
    if (resource.userType() == QMetaType::QByteArray)
        return QImage::fromData(resource.toByteArray());
    return QImage();
}

inline QList<PanePicture> panePictures(QTextBrowser &pane)
{
    QList<PanePicture> pictures;
    QTextDocument *doc = pane.document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            const QString name = fragment.charFormat().toImageFormat().name();
            pictures.append(
                {name, loadedImage(doc->resource(QTextDocument::ImageResource, QUrl(name))),
                    fragment.position()});
        }
    }
    return pictures;
}

// The first picture named like a thumbnail file of the html folder.
inline PanePicture paneThumbnail(QTextBrowser &pane)
{
    for (const PanePicture &p : panePictures(pane)) {
        if (p.image.width() == 180)
            return p;
    }
    return {};
}

// The file name a page's picture name ends in ("/home/html\image1.jpg").
inline QString fileNameOf(const QString &pictureName)
{
    const qsizetype cut = qMax(
        pictureName.lastIndexOf(QLatin1Char('/')), pictureName.lastIndexOf(QLatin1Char('\\')));
    return pictureName.mid(cut + 1);
}

// Where the text at `position` shows, in viewport coordinates.
inline QRect paneRect(QTextBrowser &pane, int position)
{
    QTextCursor cursor(pane.document());
    cursor.setPosition(position);
    return pane.cursorRect(cursor);
}

// Where the floating table holding the text at `position` shows (the
// thumbnail's frame), in viewport coordinates.
inline QRect floatRect(QTextBrowser &pane, int position)
{
    QTextCursor cursor(pane.document());
    cursor.setPosition(position);
    const QRectF inDocument
        = pane.document()->documentLayout()->frameBoundingRect(cursor.currentFrame());
    return inDocument.toAlignedRect().translated(
        -pane.horizontalScrollBar()->value(), -pane.verticalScrollBar()->value());
}

// The first position of the link to `href`; -1 when there is none.
inline int linkPosition(QTextBrowser &pane, const QString &href)
{
    QTextDocument *doc = pane.document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor() && format.anchorHref() == href)
                return it.fragment().position() + 1;
        }
    }
    return -1;
}

} // namespace quillet::test
