// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/HeadingIcons.h"

#include "core/outline/HeadingTreeModel.h"

#include <QFile>

// Resources of a static library must be registered by hand.
static void registerHeadingPictures()
{
    Q_INIT_RESOURCE(headings);
}

namespace quillet::widgets {

HeadingIcons::HeadingIcons()
{
    registerHeadingPictures();
    m_icons.append(QIcon()); // index 0 is not a picture
    for (int index = 1;; ++index) {
        const QString name = QStringLiteral("%1.png").arg(index, 2, 10, QLatin1Char('0'));
        const QString small = QStringLiteral(":/headings/16/") + name;
        if (!QFile::exists(small))
            break;
        QIcon icon;
        icon.addFile(small, QSize(16, 16));
        icon.addFile(QStringLiteral(":/headings/32/") + name, QSize(32, 32));
        m_icons.append(icon);
    }
}

const HeadingIcons &HeadingIcons::instance()
{
    static const HeadingIcons icons;
    return icons;
}

QIcon HeadingIcons::icon(int index) const
{
    return index > 0 && index < m_icons.size() ? m_icons[index] : QIcon();
}

void HeadingIconDelegate::initStyleOption(
    QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const QIcon icon = HeadingIcons::instance().icon(
        index.data(outline::HeadingTreeModel::ShownImageRole).toInt());
    if (icon.isNull())
        return;
    option->features |= QStyleOptionViewItem::HasDecoration;
    option->icon = icon;
    option->decorationSize = QSize(16, 16);
}

} // namespace quillet::widgets
