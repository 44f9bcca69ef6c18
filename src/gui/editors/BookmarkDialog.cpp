// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/editors/BookmarkDialog.h"

#include "core/common/Strings.h"
#include "core/outline/PageTitles.h"
#include "core/outline/Workspace.h"
#include "gui/commands/CommandBinding.h"
#include "gui/widgets/HeadingIcons.h"
#include "gui/widgets/SearchWidgets.h"

#include <QAbstractItemView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStandardItemModel>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace quillet::editors {

namespace {

constexpr int kKeyRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;
constexpr int kIconSize = 16;
constexpr int kTreeHeight = 220;

// A picture of the main window's heading icons (imgList_Node).
QIcon headingIcon(int imageIndex)
{
    return widgets::HeadingIcons::instance().icon(imageIndex);
}

} // namespace

BookmarkDialog::BookmarkDialog(outline::Workspace &workspace, Mode mode, QWidget *parent)
    : QDialog(parent)
    , m_ws(workspace)
    , m_editor(workspace, mode)
{
    setObjectName(QStringLiteral("frmItem"));
    setWindowTitle(QString::fromLatin1(strings::kTitle) + QLatin1Char(' '));
    buildWindow();
    showCategory(m_editor.heading().title, m_editor.heading().image);
    if (mode == Mode::Edit)
        setUpEdit();
    else
        setUpAdd();
    updateEnabling();

    // A press anywhere else on the dialog closes the drop-down tree.
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>()) {
        if (!insideTreeOrButton(child))
            child->installEventFilter(this);
    }
}

BookmarkDialog::~BookmarkDialog() = default;

void BookmarkDialog::buildWindow()
{
    // Its text says whether a bookmark is added or edited.
    m_banner = widgets::makeBanner(QString(), this);
    QLayout *picker = buildCategoryPicker();
    QLayout *fields = buildFields(picker);
    QLayout *buttons = buildButtons();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_banner);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);

    buildCategoryTree();
    connectControls();
    resize(480, 340);
}

QLayout *BookmarkDialog::buildCategoryPicker()
{
    m_categoryIcon = new QLabel(this);
    m_categoryIcon->setObjectName(QStringLiteral("imgIcon"));
    m_categoryIcon->setFixedSize(kIconSize + 4, kIconSize + 4);
    m_categoryIcon->setAlignment(Qt::AlignCenter);
    m_categoryEdit = new QLineEdit(this);
    m_categoryEdit->setObjectName(QStringLiteral("txtCategory"));
    m_categoryEdit->setReadOnly(true);
    m_categoryButton = new QToolButton(this);
    m_categoryButton->setObjectName(QStringLiteral("imgButton"));
    m_categoryButton->setArrowType(Qt::DownArrow);
    m_categoryButton->setFocusPolicy(Qt::NoFocus);
    auto *picker = new QHBoxLayout;
    picker->setSpacing(2);
    picker->addWidget(m_categoryIcon);
    picker->addWidget(m_categoryEdit, 1);
    picker->addWidget(m_categoryButton);
    return picker;
}

QLayout *BookmarkDialog::buildFields(QLayout *picker)
{
    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName(QStringLiteral("txtName"));
    m_linkEdit = new QLineEdit(this);
    m_linkEdit->setObjectName(QStringLiteral("txtLink"));
    m_descriptionEdit = new QPlainTextEdit(this);
    m_descriptionEdit->setObjectName(QStringLiteral("txtDescrip"));
    m_descriptionEdit->setTabChangesFocus(true);

    auto *fields = new QGridLayout;
    // A caption and its field, or the layout that holds the field; the
    // caption's key goes to `buddy`.
    auto addRow = [&](int row, const QString &caption, const QString &name, QWidget *buddy,
                      QLayout *layout) {
        auto *label = new QLabel(caption, this);
        label->setObjectName(name);
        fields->addWidget(label, row, 0, Qt::AlignLeft | Qt::AlignTop);
        if (layout)
            fields->addLayout(layout, row, 1);
        else
            fields->addWidget(buddy, row, 1);
        if (buddy)
            label->setBuddy(buddy);
    };
    addRow(0, QStringLiteral("Category:"), QStringLiteral("lblCategory"), nullptr, picker);
    addRow(1, QStringLiteral("url Name:"), QStringLiteral("lblName"), m_nameEdit, nullptr);
    m_titleButton = new QPushButton(QStringLiteral("Get &title"), this);
    m_titleButton->setObjectName(QStringLiteral("cmdTitle"));
    m_titleButton->setToolTip(QStringLiteral("Read the page's title into the name"));
    auto *linkRow = new QHBoxLayout;
    linkRow->addWidget(m_linkEdit, 1);
    linkRow->addWidget(m_titleButton);
    addRow(2, QStringLiteral("url Link:"), QStringLiteral("lblLink"), m_linkEdit, linkRow);
    addRow(3, QStringLiteral("Description:"), QStringLiteral("lblDescrip"), m_descriptionEdit,
        nullptr);
    fields->setColumnStretch(1, 1);
    fields->setRowStretch(3, 1);
    return fields;
}

QLayout *BookmarkDialog::buildButtons()
{
    m_addButton = new QPushButton(QStringLiteral("&OK"), this);
    m_addButton->setObjectName(QStringLiteral("cmdAdd"));
    m_editButton = new QPushButton(QStringLiteral("&OK"), this);
    m_editButton->setObjectName(QStringLiteral("cmdEdit"));
    m_exitButton = new QPushButton(QStringLiteral("&Exit"), this);
    m_exitButton->setObjectName(QStringLiteral("cmdExit"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_addButton);
    buttons->addWidget(m_editButton);
    buttons->addWidget(m_exitButton);
    return buttons;
}

void BookmarkDialog::buildCategoryTree()
{
    // The drop-down tree floats over the fields below the picker; it is no
    // part of the layout.
    m_categories = new QStandardItemModel(this);
    m_categoryTree = new QTreeView(this);
    m_categoryTree->setObjectName(QStringLiteral("treBookmark"));
    m_categoryTree->setModel(m_categories);
    m_categoryTree->setHeaderHidden(true);
    m_categoryTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_categoryTree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_categoryTree->setIconSize(QSize(kIconSize, kIconSize));
    m_categoryTree->hide();
}

void BookmarkDialog::connectControls()
{
    connect(m_nameEdit, &QLineEdit::textChanged, this, &BookmarkDialog::updateEnabling);
    connect(m_linkEdit, &QLineEdit::textChanged, this, &BookmarkDialog::updateEnabling);
    connect(m_categoryButton, &QToolButton::pressed, this, &BookmarkDialog::toggleCategoryTree);
    connect(m_categoryTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex &current) {
            if (current.isValid())
                showCategory(current.data().toString(), current.data(kImageRole).toInt());
        });
    connect(
        m_categoryTree, &QAbstractItemView::doubleClicked, this, &BookmarkDialog::hideCategoryTree);
    connect(m_addButton, &QPushButton::clicked, this, &BookmarkDialog::confirmAdd);
    connect(m_editButton, &QPushButton::clicked, this, &BookmarkDialog::confirmEdit);
    connect(m_exitButton, &QPushButton::clicked, this, &BookmarkDialog::exitDialog);
    connect(m_titleButton, &QPushButton::clicked, this, &BookmarkDialog::fetchTitle);
}

void BookmarkDialog::setUpEdit()
{
    m_banner->setText(QStringLiteral("Edit Bookmark"));
    m_addButton->hide();
    m_editButton->show();
    m_editButton->setDefault(true);
    // A bookmark keeps its heading here.
    m_categoryIcon->setEnabled(false);
    m_categoryEdit->setEnabled(false);
    m_categoryButton->setEnabled(false);
    m_nameEdit->setText(m_editor.initialName());
    m_linkEdit->setText(m_editor.initialLink());
    m_descriptionEdit->setPlainText(m_editor.initialDescription());
}

void BookmarkDialog::setUpAdd()
{
    m_banner->setText(QStringLiteral("Add Bookmark"));
    m_addButton->show();
    m_addButton->setDefault(true);
    m_editButton->hide();

    const std::vector<BookmarkEditor::Category> &categories = m_editor.categories();
    std::vector<QStandardItem *> items;
    items.reserve(categories.size());
    for (const BookmarkEditor::Category &category : categories) {
        auto *item = new QStandardItem(headingIcon(category.image), category.title);
        item->setData(category.key, kKeyRole);
        item->setData(category.image, kImageRole);
        item->setEditable(false);
        items.push_back(item);
        if (category.parent >= 0)
            items[static_cast<size_t>(category.parent)]->appendRow(item);
        else
            m_categories->appendRow(item);
    }
    if (m_categories->rowCount() > 0)
        m_categoryTree->expand(m_categories->index(0, 0));
    const int current = m_editor.headingCategory();
    if (current >= 0) {
        const QModelIndex index = m_categories->indexFromItem(items[static_cast<size_t>(current)]);
        for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
            m_categoryTree->expand(up);
        m_categoryTree->setCurrentIndex(index);
    }
}

QString BookmarkDialog::categoryKey() const
{
    if (m_editor.mode() == Mode::Edit)
        return m_editor.heading().key;
    const QModelIndex current = m_categoryTree->currentIndex();
    if (!current.isValid() || !m_categoryTree->selectionModel()->isSelected(current))
        return QString();
    return current.data(kKeyRole).toString();
}

bool BookmarkDialog::isCategoryTreeShown() const
{
    return !m_categoryTree->isHidden();
}

void BookmarkDialog::fetchTitle()
{
    const QString link = m_linkEdit->text().trimmed();
    if (link.isEmpty())
        return;
    if (!m_titles)
        m_titles = new outline::PageTitles(this);
    m_titleButton->setEnabled(false);
    m_titleButton->setToolTip(QStringLiteral("Reading the page's title ..."));
    QPointer<BookmarkDialog> self(this);
    m_titles->fetch(link, [self, link](const QString &title) {
        if (!self)
            return;
        self->m_titleButton->setEnabled(true);
        self->m_titleButton->setToolTip(title.isEmpty()
                ? QStringLiteral("No title was found for this link.")
                : QStringLiteral("Read the page's title into the name"));
        // Only for the link it was read for.
        if (!title.isEmpty() && self->m_linkEdit->text().trimmed() == link)
            self->m_nameEdit->setText(title);
    });
}

void BookmarkDialog::updateEnabling()
{
    const bool enabled = BookmarkEditor::canConfirm(m_nameEdit->text(), m_linkEdit->text());
    m_addButton->setEnabled(enabled);
    m_editButton->setEnabled(enabled);
}

void BookmarkDialog::showCategory(const QString &title, int image)
{
    m_categoryEdit->setText(title);
    m_categoryIcon->setPixmap(
        headingIcon(image).pixmap(QSize(kIconSize, kIconSize), devicePixelRatioF()));
}

void BookmarkDialog::toggleCategoryTree()
{
    if (m_editor.mode() != Mode::Add)
        return;
    if (isCategoryTreeShown()) {
        hideCategoryTree();
        return;
    }
    placeCategoryTree();
    m_categoryTree->show();
    m_categoryTree->raise();
    m_categoryTree->scrollTo(m_categoryTree->currentIndex());
}

void BookmarkDialog::hideCategoryTree()
{
    m_categoryTree->hide();
}

void BookmarkDialog::placeCategoryTree()
{
    // Under the picker, as wide as it, down to the buttons at most.
    const QPoint topLeft = m_categoryIcon->mapTo(this, QPoint(0, m_categoryEdit->height()));
    const int right = m_categoryButton->mapTo(this, QPoint(m_categoryButton->width(), 0)).x();
    const int bottom = m_exitButton->mapTo(this, QPoint(0, 0)).y() - 4;
    const int height = qMax(60, qMin(kTreeHeight, bottom - topLeft.y()));
    m_categoryTree->setGeometry(topLeft.x(), topLeft.y() + 2, right - topLeft.x(), height);
}

bool BookmarkDialog::insideTreeOrButton(const QObject *object) const
{
    for (const QObject *o = object; o; o = o->parent()) {
        if (o == m_categoryTree || o == m_categoryButton)
            return true;
        if (o == this)
            break;
    }
    return false;
}

bool BookmarkDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && !insideTreeOrButton(watched)) {
        hideCategoryTree();
    } else if (event->type() == QEvent::KeyPress && watched == m_categoryEdit) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            toggleCategoryTree();
            return true; // not the dialog's default button
        }
    }
    return QDialog::eventFilter(watched, event);
}

void BookmarkDialog::confirmAdd()
{
    hideCategoryTree();
    // A failed write keeps the dialog open: the user may try again or leave.
    commands::reportEngineErrors(m_ws, [&] {
        if (m_editor.confirmAdd(m_nameEdit->text(), m_linkEdit->text(),
                m_descriptionEdit->toPlainText(), categoryKey()))
            accept();
    });
}

void BookmarkDialog::confirmEdit()
{
    commands::reportEngineErrors(m_ws, [&] {
        if (m_editor.confirmEdit(
                m_nameEdit->text(), m_linkEdit->text(), m_descriptionEdit->toPlainText()))
            accept();
    });
}

void BookmarkDialog::exitDialog()
{
    hideCategoryTree();
    reject();
}

void runBookmarkEditor(outline::Workspace &workspace, QAbstractItemView *listView,
    BookmarkEditor::Mode mode, QWidget *parent)
{
    outline::BookmarkList &list = workspace.list();
    const int row = list.selectedRow();
    if (mode == BookmarkEditor::Mode::Add ? !workspace.tree().current() : row < 0)
        return;
    // The list holds one selection while the dialog is open, the edited
    // bookmark alone; multiple selection comes back however the dialog ends.
    const QAbstractItemView::SelectionMode previous
        = listView ? listView->selectionMode() : QAbstractItemView::ExtendedSelection;
    if (listView)
        listView->setSelectionMode(QAbstractItemView::SingleSelection);
    struct Restore
    {
        QAbstractItemView *view;
        QAbstractItemView::SelectionMode mode;
        ~Restore()
        {
            if (view)
                view->setSelectionMode(mode);
        }
    } restore {listView, previous};
    if (mode == BookmarkEditor::Mode::Edit)
        list.selectRow(row, false);
    BookmarkDialog dialog(workspace, mode, parent);
    dialog.exec();
}

} // namespace quillet::editors
