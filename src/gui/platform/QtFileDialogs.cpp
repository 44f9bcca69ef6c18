// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/QtFileDialogs.h"

#include <QFileDialog>

namespace quillet::platform {

QString QtFileDialogs::qtFilter(const QString &filter)
{
    // Pairs of "description|patterns"; Qt wants "description (patterns)".
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i);
        const QString patterns
            = QString(parts.at(i + 1)).replace(QLatin1Char(';'), QLatin1Char(' '));
        const int paren = description.indexOf(QLatin1Char('('));
        if (paren >= 0)
            description = description.left(paren).trimmed();
        filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

QString QtFileDialogs::run(QFileDialog &dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setIconProvider(&m_icons);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

QString QtFileDialogs::openFile(const QString &title, const QString &folder, const QString &filter)
{
    QFileDialog dialog(m_owner, title, folder, qtFilter(filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    return run(dialog);
}

QString QtFileDialogs::saveFile(
    const QString &title, const QString &folder, const QString &fileName, const QString &filter)
{
    const QString start = fileName.isEmpty() ? folder : folder + QLatin1Char('/') + fileName;
    QFileDialog dialog(m_owner, title, start, qtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The commands ask about replacing files themselves.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return run(dialog);
}

QString QtFileDialogs::chooseFolder(const QString &title, const QString &folder)
{
    QFileDialog dialog(m_owner, title, folder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return run(dialog);
}

} // namespace quillet::platform
