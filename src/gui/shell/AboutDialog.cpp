// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/AboutDialog.h"

#include "core/common/AppHome.h"
#include "core/common/Strings.h"
#include "core/store/FileMaintenance.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet::shell {

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    const QString title = QLatin1String(strings::kTitle);
    setWindowTitle(QStringLiteral("About ") + title);
    auto *layout = new QVBoxLayout(this);
    auto *name = new QLabel(
        QStringLiteral("<b>%1</b> version %2").arg(title, QLatin1String(strings::kVersion)), this);
    name->setObjectName(QStringLiteral("lblTitle"));
    layout->addWidget(name);
    layout->addWidget(new QLabel(
        QStringLiteral("Keeps your web bookmarks in a tree of headings, one document at a time."),
        this));
    const QString cipher = store::cipherVersion();
    auto *versions = new QLabel(QStringLiteral("Qt %1, SQLCipher %2")
                                    .arg(QLatin1String(qVersion()),
                                        cipher.isEmpty() ? QStringLiteral("(unknown)") : cipher),
        this);
    versions->setObjectName(QStringLiteral("lblVersions"));
    layout->addWidget(versions);
    auto *home = new QLabel(QStringLiteral("Settings and documents: ") + common::appHome(), this);
    home->setObjectName(QStringLiteral("lblHome"));
    home->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(home);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    buttons->addWidget(ok);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace quillet::shell
