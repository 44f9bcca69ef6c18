// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/editors/BookmarkEditor.h"

#include <QDialog>

class QAbstractItemView;
class QLabel;
class QLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStandardItemModel;
class QToolButton;
class QTreeView;

namespace quillet::outline {
class Workspace;
}

namespace quillet::outline {
class PageTitles;
}

namespace quillet::editors {

// frmItem: adds a bookmark to a heading or edits the name, link and
// description of the list's selected bookmark. The logic is BookmarkEditor's;
// this is its window, with the category picker and its drop-down tree.
class BookmarkDialog : public QDialog
{
    Q_OBJECT
public:
    using Mode = BookmarkEditor::Mode;

    BookmarkDialog(outline::Workspace &workspace, Mode mode, QWidget *parent = nullptr);
    ~BookmarkDialog() override;

    BookmarkEditor &editor() { return m_editor; }
    // The heading that receives a new bookmark: the drop-down tree's selection.
    QString categoryKey() const;
    bool isCategoryTreeShown() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    QLayout *buildCategoryPicker();
    QLayout *buildFields(QLayout *picker);
    QLayout *buildButtons();
    void buildCategoryTree();
    void connectControls();
    void setUpAdd();
    void setUpEdit();
    void updateEnabling();
    void showCategory(const QString &title, int image);
    void toggleCategoryTree();
    void hideCategoryTree();
    void placeCategoryTree();
    void confirmAdd();
    void confirmEdit();
    void exitDialog();
    // Reads the title of the typed link's page into the name box.
    void fetchTitle();
    bool insideTreeOrButton(const QObject *object) const;

    outline::Workspace &m_ws;
    BookmarkEditor m_editor;
    QLabel *m_banner = nullptr;
    QLabel *m_categoryIcon = nullptr;
    QLineEdit *m_categoryEdit = nullptr;
    QToolButton *m_categoryButton = nullptr;
    QTreeView *m_categoryTree = nullptr;
    QStandardItemModel *m_categories = nullptr;
    QLineEdit *m_nameEdit = nullptr;
    QLineEdit *m_linkEdit = nullptr;
    QPlainTextEdit *m_descriptionEdit = nullptr;
    QPushButton *m_addButton = nullptr;
    QPushButton *m_editButton = nullptr;
    QPushButton *m_exitButton = nullptr;
    QPushButton *m_titleButton = nullptr;
    outline::PageTitles *m_titles = nullptr;
};

// The commands miLNew (add) and miLEdit (edit): check the command's
// precondition, keep the list to a single selection while the dialog is
// open, and show it modally. `listView` is the main window's bookmark list.
void runBookmarkEditor(outline::Workspace &workspace, QAbstractItemView *listView,
    BookmarkEditor::Mode mode, QWidget *parent);

} // namespace quillet::editors
