// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QStyledItemDelegate>
#include <QVector>

namespace quillet::widgets {

// imgList_Node: the pictures of headings, indexed from 1 in pairs (k odd:
// normal, k + 1: the same heading expanded). Index 0 and indices past the
// end give a null icon. Each icon carries a 16 and a 32 pixel picture, so it
// stays sharp on high-density screens.
class HeadingIcons
{
public:
    static const HeadingIcons &instance();

    // Number of pictures (the highest valid index).
    int count() const { return static_cast<int>(m_icons.size()) - 1; }
    QIcon icon(int index) const;

private:
    HeadingIcons();
    QVector<QIcon> m_icons;
};

// Draws each heading with the picture of its shown image index (the
// expanded one while it is expanded).
class HeadingIconDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};

} // namespace quillet::widgets
