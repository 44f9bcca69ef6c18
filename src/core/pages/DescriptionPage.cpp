// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pages/DescriptionPage.h"

#include "core/common/AppHome.h"
#include "core/common/ProgressView.h"
#include "core/pages/PageResources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace quillet::pages {

namespace {

const QString kFirstThumbnail = QStringLiteral("image1.jpg");
const QString kSecondThumbnail = QStringLiteral("image2.jpg");
const QString kNoImage = QStringLiteral("noimagel.gif");

} // namespace

QString htmlFolder()
{
    return common::homePath(QStringLiteral("html"));
}

QString completeLink(const QString &link)
{
    // A scheme is letters up to a colon; "host:8080/" is a port, not one.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:(?![0-9])"));
    if (link.isEmpty() || scheme.match(link).hasMatch())
        return link;
    return QStringLiteral("http://") + link;
}

QString descriptionPageText(const QString &folder, const store::BookmarkRow &row,
    const QString &imageFile, Resource pageTemplate)
{
    QString page = resourceText(pageTemplate);
    page.replace(QLatin1String("&imgPath&"), QDir::toNativeSeparators(folder));
    page.replace(QLatin1String("&urlName&"), row.name);
    page.replace(QLatin1String("&urlLink&"), completeLink(row.link));
    page.replace(
        QLatin1String("&urlDescrip&"), row.descriptionIsNull ? QString() : row.description);
    page.replace(QLatin1String("&imgFile&"), imageFile);
    return page;
}

DescriptionPageWriter::DescriptionPageWriter(Yield yield, QString folder)
    : m_yield(yield ? std::move(yield) : Yield(common::yieldToEventLoop))
    , m_folder(std::move(folder))
{
}

QString DescriptionPageWriter::folder() const
{
    return m_folder.isEmpty() ? htmlFolder() : m_folder;
}

bool DescriptionPageWriter::yieldStillCurrent(quint64 refresh)
{
    m_yield();
    return refresh == m_refresh;
}

std::optional<QString> DescriptionPageWriter::preparePage(const store::BookmarkRow &row)
{
    const quint64 refresh = ++m_refresh;
    const QString dir = folder();
    if (!QDir().mkpath(dir))
        return std::nullopt;

    // A deleted asset comes back.
    writeMissingAssets(dir,
        {
            {"shim.gif", Resource::ShimPicture},
            {"single_dot_h.gif", Resource::DottedRulePicture},
            {"small_bullet.gif", Resource::BulletPicture},
            {"styles.css", Resource::StyleSheet},
        });
    if (!yieldStillCurrent(refresh))
        return std::nullopt;

    QString imageFile;
    if (row.thumbnail.isEmpty()) {
        const QString noImage = dir + QLatin1Char('/') + kNoImage;
        if (!QFileInfo::exists(noImage)) {
            writeResourceFile(Resource::NoImagePicture, noImage);
            if (row.thumbnail.isNull() && !yieldStillCurrent(refresh))
                return std::nullopt;
        }
        imageFile = kNoImage;
    } else {
        imageFile = m_thumbnailToggle ? kFirstThumbnail : kSecondThumbnail;
        m_thumbnailToggle = !m_thumbnailToggle;
        // At most one of the two is deleted: only the file just written
        // remains afterwards.
        const QString first = dir + QLatin1Char('/') + kFirstThumbnail;
        const QString second = dir + QLatin1Char('/') + kSecondThumbnail;
        if (QFileInfo::exists(first))
            QFile::remove(first);
        else if (QFileInfo::exists(second))
            QFile::remove(second);
        if (!yieldStillCurrent(refresh))
            return std::nullopt;
        if (!writeFileBytes(dir + QLatin1Char('/') + imageFile, row.thumbnail))
            return std::nullopt;
    }
    return descriptionPageText(dir, row, imageFile, m_template);
}

bool paneMayLoad(const QUrl &url, const QString &folder)
{
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("data"))
        return true;
    if (scheme == QLatin1String("about"))
        return url.path() == QLatin1String("blank");
    if (!url.isLocalFile() || !url.host().isEmpty())
        return false;
    const QString path = QDir::cleanPath(url.toLocalFile());
    const QString root = QDir::cleanPath(folder);
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

bool paneLinkOpensInBrowser(const QUrl &url)
{
    const QString scheme = url.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https")
        || scheme == QLatin1String("ftp");
}

} // namespace quillet::pages
