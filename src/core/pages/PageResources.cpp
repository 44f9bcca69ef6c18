// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pages/PageResources.h"

#include <QFile>
#include <QFileInfo>

// Resources of a static library must be registered by hand.
static void registerPageResources()
{
    Q_INIT_RESOURCE(pages);
}

namespace quillet::pages {

namespace {

QString resourcePath(Resource id)
{
    switch (id) {
    case Resource::NoImagePicture:
        return QStringLiteral(":/pages/noimagel.gif");
    case Resource::ShimPicture:
        return QStringLiteral(":/pages/shim.gif");
    case Resource::DottedRulePicture:
        return QStringLiteral(":/pages/single_dot_h.gif");
    case Resource::BulletPicture:
        return QStringLiteral(":/pages/small_bullet.gif");
    case Resource::StyleSheet:
        return QStringLiteral(":/pages/styles.css");
    case Resource::DescriptionTemplate:
        return QStringLiteral(":/pages/1002.htm");
    case Resource::HelpPageHead:
        return QStringLiteral(":/pages/HTML01.htm");
    case Resource::HelpPageBlock:
        return QStringLiteral(":/pages/HTML02.htm");
    case Resource::HelpPageTail:
        return QStringLiteral(":/pages/HTML03.htm");
    case Resource::DescriptionViewTemplate:
        return QStringLiteral(":/pages/pane.htm");
    }
    return QString();
}

} // namespace

QByteArray resourceBytes(Resource id)
{
    static const bool registered = (registerPageResources(), true);
    Q_UNUSED(registered);
    QFile file(resourcePath(id));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QString resourceText(Resource id)
{
    // The templates are plain ASCII.
    return QString::fromUtf8(resourceBytes(id));
}

bool writeResourceFile(Resource id, const QString &path)
{
    const QByteArray bytes = resourceBytes(id);
    return !bytes.isEmpty() && writeFileBytes(path, bytes);
}

void writeMissingAssets(const QString &folder, std::initializer_list<PageAsset> assets)
{
    for (const PageAsset &asset : assets) {
        const QString path = folder + QLatin1Char('/') + QLatin1String(asset.name);
        if (!QFileInfo::exists(path))
            writeResourceFile(asset.id, path);
    }
}

bool writeFileBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

} // namespace quillet::pages
