// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtFileDialogs.h"

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

QString QtFileDialogs::openFile(const QString &title, const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileName(m_owner, title, folder, qtFilter(filter));
}

QString QtFileDialogs::saveFile(
    const QString &title, const QString &folder, const QString &fileName, const QString &filter)
{
    const QString start = fileName.isEmpty() ? folder : folder + QLatin1Char('/') + fileName;
    // The commands ask about replacing files themselves.
    return QFileDialog::getSaveFileName(
        m_owner, title, start, qtFilter(filter), nullptr, QFileDialog::DontConfirmOverwrite);
}

QString QtFileDialogs::chooseFolder(const QString &title, const QString &folder)
{
    return QFileDialog::getExistingDirectory(m_owner, title, folder, QFileDialog::ShowDirsOnly);
}

} // namespace quillet::platform
