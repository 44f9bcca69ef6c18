// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/browsers/BrowserCommands.h"

#include "core/outline/Workspace.h"
#include "gui/commands/CommandBinding.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <memory>

namespace quillet::browsers {

namespace {

// OK and Cancel at the bottom of `layout`.
void addButtons(QDialog &dialog, QVBoxLayout *layout)
{
    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    box->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    box->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    layout->addWidget(box);
    QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
}

void prepare(QDialog &dialog, const char *name, const QString &title)
{
    dialog.setObjectName(QLatin1String(name));
    dialog.setWindowTitle(title);
    dialog.setMinimumWidth(420);
}

} // namespace

std::optional<BookmarkSource> QtExchangeDialogs::chooseSource(const QList<BookmarkSource> &found)
{
    // A file of each format first, then every profile found; a profile is
    // what the user most likely wants.
    QList<BookmarkSource> sources;
    for (const BookmarkFormat &format : bookmarkFormats())
        sources.append({&format, QLatin1String(format.sourceLabel), QString()});
    const qsizetype firstProfile = sources.size();
    sources += found;

    QDialog dialog(m_owner);
    prepare(dialog, "frmBrowserImport", QStringLiteral("Import browser bookmarks"));
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(
        new QLabel(QStringLiteral("Import into the selected heading from:"), &dialog));
    auto *list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("lstSource"));
    for (const BookmarkSource &source : sources)
        list->addItem(source.path.isEmpty()
                ? source.label
                : source.label + QStringLiteral("  (") + source.path + QLatin1Char(')'));
    list->setCurrentRow(found.isEmpty() ? 0 : int(firstProfile));
    layout->addWidget(list);
    addButtons(dialog, layout);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0)
        return std::nullopt;
    return sources.at(list->currentRow());
}

std::optional<ExportScope> QtExchangeDialogs::chooseExportScope(const QString &heading)
{
    QDialog dialog(m_owner);
    prepare(dialog, "frmBrowserExport", QStringLiteral("Export browser bookmarks"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *whole = new QRadioButton(QStringLiteral("The whole tree"), &dialog);
    whole->setObjectName(QStringLiteral("optWholeTree"));
    whole->setChecked(true);
    auto *one = new QRadioButton(
        QStringLiteral("The heading \"%1\" and its sub-headings").arg(heading), &dialog);
    one->setObjectName(QStringLiteral("optHeading"));
    one->setEnabled(!heading.isNull());
    layout->addWidget(whole);
    layout->addWidget(one);
    addButtons(dialog, layout);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return one->isChecked() ? ExportScope::CurrentHeading : ExportScope::WholeTree;
}

void bindBrowserCommands(
    commands::CommandBinding &commands, outline::Workspace &workspace, QWidget *window)
{
    auto dialogs = std::make_shared<QtExchangeDialogs>(window);
    outline::Workspace *ws = &workspace;
    commands.bind(QStringLiteral("miTBrowserImport"),
        [ws, dialogs] { BrowserExchange(*ws, *dialogs).importBookmarks(); });
    commands.bind(QStringLiteral("miTBrowserExport"),
        [ws, dialogs] { BrowserExchange(*ws, *dialogs).exportBookmarks(); });
}

} // namespace quillet::browsers
