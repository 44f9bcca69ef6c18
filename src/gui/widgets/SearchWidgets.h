// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

class QAbstractItemModel;
class QDialog;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTreeView;
class QWidget;

namespace quillet::widgets {

// Pieces the find, duplicate and link check windows share.
QLabel *makeBanner(const QString &text, QWidget *parent);
// A button that Enter never clicks by default: Enter belongs to the text box.
QPushButton *makeButton(const QString &text, const char *name, QWidget *parent);
// The buttons at the bottom right of the window.
QHBoxLayout *makeButtonRow(const QList<QWidget *> &buttons);
// A list in report view over `model`, its two column widths in twips.
QTreeView *makeReportList(
    const char *name, QAbstractItemModel *model, int firstTwips, int secondTwips, QWidget *parent);
// Closes `dialog` on a click of `button`, once the window has repainted.
void rejectOnClick(QPushButton *button, QDialog *dialog);
// The window caption: a blank and the program's name.
QString searchCaption();

} // namespace quillet::widgets
