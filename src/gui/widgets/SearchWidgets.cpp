// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/SearchWidgets.h"

#include "core/common/ProgressView.h"
#include "core/common/Strings.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>

namespace quillet::widgets {

namespace {
constexpr int kTwipsPerPixel = 15;
}

QLabel *makeBanner(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("lblTitle"));
    QFont banner = label->font();
    banner.setBold(true);
    banner.setPointSizeF(banner.pointSizeF() * 1.4);
    label->setFont(banner);
    label->setContentsMargins(4, 6, 4, 6);
    return label;
}

QPushButton *makeButton(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

QHBoxLayout *makeButtonRow(const QList<QWidget *> &buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    for (QWidget *button : buttons)
        row->addWidget(button);
    return row;
}

QTreeView *makeReportList(
    const char *name, QAbstractItemModel *model, int firstTwips, int secondTwips, QWidget *parent)
{
    auto *list = new QTreeView(parent);
    list->setObjectName(QLatin1String(name));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setIconSize(QSize(16, 16));
    list->setModel(model);
    list->header()->setStretchLastSection(false);
    list->header()->resizeSection(0, firstTwips / kTwipsPerPixel);
    list->header()->resizeSection(1, secondTwips / kTwipsPerPixel);
    return list;
}

void rejectOnClick(QPushButton *button, QDialog *dialog)
{
    QObject::connect(button, &QPushButton::clicked, dialog, [dialog] {
        common::yieldToEventLoop();
        dialog->reject();
    });
}

QString searchCaption()
{
    return QLatin1Char(' ') + QString::fromLatin1(strings::kTitle);
}

} // namespace quillet::widgets
