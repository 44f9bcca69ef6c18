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
    m_lblTitle = widgets::makeBanner(QString(), this);
    QLayout *picker = buildCategoryPicker();
    QLayout *fields = buildFields(picker);
    QLayout *buttons = buildButtons();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lblTitle);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);

    buildCategoryTree();
    connectControls();
    resize(480, 340);
}

QLayout *BookmarkDialog::buildCategoryPicker()
{
    m_imgIcon = new QLabel(this);
    m_imgIcon->setObjectName(QStringLiteral("imgIcon"));
    m_imgIcon->setFixedSize(kIconSize + 4, kIconSize + 4);
    m_imgIcon->setAlignment(Qt::AlignCenter);
    m_txtCategory = new QLineEdit(this);
    m_txtCategory->setObjectName(QStringLiteral("txtCategory"));
    m_txtCategory->setReadOnly(true);
    m_imgButton = new QToolButton(this);
    m_imgButton->setObjectName(QStringLiteral("imgButton"));
    m_imgButton->setArrowType(Qt::DownArrow);
    m_imgButton->setFocusPolicy(Qt::NoFocus);
    auto *picker = new QHBoxLayout;
    picker->setSpacing(2);
    picker->addWidget(m_imgIcon);
    picker->addWidget(m_txtCategory, 1);
    picker->addWidget(m_imgButton);
    return picker;
}

QLayout *BookmarkDialog::buildFields(QLayout *picker)
{
    m_txtName = new QLineEdit(this);
    m_txtName->setObjectName(QStringLiteral("txtName"));
    m_txtLink = new QLineEdit(this);
    m_txtLink->setObjectName(QStringLiteral("txtLink"));
    m_txtDescrip = new QPlainTextEdit(this);
    m_txtDescrip->setObjectName(QStringLiteral("txtDescrip"));
    m_txtDescrip->setTabChangesFocus(true);

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
    addRow(1, QStringLiteral("url Name:"), QStringLiteral("lblName"), m_txtName, nullptr);
    m_cmdTitle = new QPushButton(QStringLiteral("Get &title"), this);
    m_cmdTitle->setObjectName(QStringLiteral("cmdTitle"));
    m_cmdTitle->setToolTip(QStringLiteral("Read the page's title into the name"));
    auto *linkRow = new QHBoxLayout;
    linkRow->addWidget(m_txtLink, 1);
    linkRow->addWidget(m_cmdTitle);
    addRow(2, QStringLiteral("url Link:"), QStringLiteral("lblLink"), m_txtLink, linkRow);
    addRow(3, QStringLiteral("Description:"), QStringLiteral("lblDescrip"), m_txtDescrip, nullptr);
    fields->setColumnStretch(1, 1);
    fields->setRowStretch(3, 1);
    return fields;
}

QLayout *BookmarkDialog::buildButtons()
{
    m_cmdAdd = new QPushButton(QStringLiteral("&OK"), this);
    m_cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    m_cmdEdit = new QPushButton(QStringLiteral("&OK"), this);
    m_cmdEdit->setObjectName(QStringLiteral("cmdEdit"));
    m_cmdExit = new QPushButton(QStringLiteral("&Exit"), this);
    m_cmdExit->setObjectName(QStringLiteral("cmdExit"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdAdd);
    buttons->addWidget(m_cmdEdit);
    buttons->addWidget(m_cmdExit);
    return buttons;
}

void BookmarkDialog::buildCategoryTree()
{
    // The drop-down tree floats over the fields below the picker; it is no
    // part of the layout.
    m_categories = new QStandardItemModel(this);
    m_treBookmark = new QTreeView(this);
    m_treBookmark->setObjectName(QStringLiteral("treBookmark"));
    m_treBookmark->setModel(m_categories);
    m_treBookmark->setHeaderHidden(true);
    m_treBookmark->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_treBookmark->setSelectionMode(QAbstractItemView::SingleSelection);
    m_treBookmark->setIconSize(QSize(kIconSize, kIconSize));
    m_treBookmark->hide();
}

void BookmarkDialog::connectControls()
{
    connect(m_txtName, &QLineEdit::textChanged, this, &BookmarkDialog::updateEnabling);
    connect(m_txtLink, &QLineEdit::textChanged, this, &BookmarkDialog::updateEnabling);
    connect(m_imgButton, &QToolButton::pressed, this, &BookmarkDialog::toggleCategoryTree);
    connect(m_treBookmark->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex &current) {
            if (current.isValid())
                showCategory(current.data().toString(), current.data(kImageRole).toInt());
        });
    connect(
        m_treBookmark, &QAbstractItemView::doubleClicked, this, &BookmarkDialog::hideCategoryTree);
    connect(m_cmdAdd, &QPushButton::clicked, this, &BookmarkDialog::confirmAdd);
    connect(m_cmdEdit, &QPushButton::clicked, this, &BookmarkDialog::confirmEdit);
    connect(m_cmdExit, &QPushButton::clicked, this, &BookmarkDialog::exitDialog);
    connect(m_cmdTitle, &QPushButton::clicked, this, &BookmarkDialog::fetchTitle);
}

void BookmarkDialog::setUpEdit()
{
    m_lblTitle->setText(QStringLiteral("Edit Bookmark"));
    m_cmdAdd->hide();
    m_cmdEdit->show();
    m_cmdEdit->setDefault(true);
    // A bookmark keeps its heading here.
    m_imgIcon->setEnabled(false);
    m_txtCategory->setEnabled(false);
    m_imgButton->setEnabled(false);
    m_txtName->setText(m_editor.initialName());
    m_txtLink->setText(m_editor.initialLink());
    m_txtDescrip->setPlainText(m_editor.initialDescription());
}

void BookmarkDialog::setUpAdd()
{
    m_lblTitle->setText(QStringLiteral("Add Bookmark"));
    m_cmdAdd->show();
    m_cmdAdd->setDefault(true);
    m_cmdEdit->hide();

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
        m_treBookmark->expand(m_categories->index(0, 0));
    const int current = m_editor.headingCategory();
    if (current >= 0) {
        const QModelIndex index = m_categories->indexFromItem(items[static_cast<size_t>(current)]);
        for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
            m_treBookmark->expand(up);
        m_treBookmark->setCurrentIndex(index);
    }
}

QString BookmarkDialog::categoryKey() const
{
    if (m_editor.mode() == Mode::Edit)
        return m_editor.heading().key;
    const QModelIndex current = m_treBookmark->currentIndex();
    if (!current.isValid() || !m_treBookmark->selectionModel()->isSelected(current))
        return QString();
    return current.data(kKeyRole).toString();
}

bool BookmarkDialog::isCategoryTreeShown() const
{
    return !m_treBookmark->isHidden();
}

void BookmarkDialog::fetchTitle()
{
    const QString link = m_txtLink->text().trimmed();
    if (link.isEmpty())
        return;
    if (!m_titles)
        m_titles = new outline::PageTitles(this);
    m_cmdTitle->setEnabled(false);
    m_cmdTitle->setToolTip(QStringLiteral("Reading the page's title ..."));
    QPointer<BookmarkDialog> self(this);
    m_titles->fetch(link, [self, link](const QString &title) {
        if (!self)
            return;
        self->m_cmdTitle->setEnabled(true);
        self->m_cmdTitle->setToolTip(title.isEmpty()
                ? QStringLiteral("No title was found for this link.")
                : QStringLiteral("Read the page's title into the name"));
        // Only for the link it was read for.
        if (!title.isEmpty() && self->m_txtLink->text().trimmed() == link)
            self->m_txtName->setText(title);
    });
}

void BookmarkDialog::updateEnabling()
{
    const bool enabled = BookmarkEditor::canConfirm(m_txtName->text(), m_txtLink->text());
    m_cmdAdd->setEnabled(enabled);
    m_cmdEdit->setEnabled(enabled);
}

void BookmarkDialog::showCategory(const QString &title, int image)
{
    m_txtCategory->setText(title);
    m_imgIcon->setPixmap(
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
    m_treBookmark->show();
    m_treBookmark->raise();
    m_treBookmark->scrollTo(m_treBookmark->currentIndex());
}

void BookmarkDialog::hideCategoryTree()
{
    m_treBookmark->hide();
}

void BookmarkDialog::placeCategoryTree()
{
    // Under the picker, as wide as it, down to the buttons at most.
    const QPoint topLeft = m_imgIcon->mapTo(this, QPoint(0, m_txtCategory->height()));
    const int right = m_imgButton->mapTo(this, QPoint(m_imgButton->width(), 0)).x();
    const int bottom = m_cmdExit->mapTo(this, QPoint(0, 0)).y() - 4;
    const int height = qMax(60, qMin(kTreeHeight, bottom - topLeft.y()));
    m_treBookmark->setGeometry(topLeft.x(), topLeft.y() + 2, right - topLeft.x(), height);
}

bool BookmarkDialog::insideTreeOrButton(const QObject *object) const
{
    for (const QObject *o = object; o; o = o->parent()) {
        if (o == m_treBookmark || o == m_imgButton)
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
    } else if (event->type() == QEvent::KeyPress && watched == m_txtCategory) {
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
        if (m_editor.confirmAdd(
                m_txtName->text(), m_txtLink->text(), m_txtDescrip->toPlainText(), categoryKey()))
            accept();
    });
}

void BookmarkDialog::confirmEdit()
{
    commands::reportEngineErrors(m_ws, [&] {
        if (m_editor.confirmEdit(m_txtName->text(), m_txtLink->text(), m_txtDescrip->toPlainText()))
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
