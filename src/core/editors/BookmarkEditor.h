// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/BookmarkRow.h"

#include <QString>
#include <vector>

namespace quillet::outline {
class Workspace;
}

namespace quillet::editors {

// The bookmark editor (frmItem) without its window: set-up in add or edit
// mode, the rule for the OK button, and the two confirmations with their
// checks, writes and updates of the list, pane and status. Messages go through
// the workspace's message boxes.
class BookmarkEditor
{
public:
    // The edit-mode flag the opening command sets: add or edit.
    enum class Mode
    {
        Add,
        Edit
    };

    // A heading as the category picker shows it. `parent` is the index of an
    // earlier entry of the copy, -1 at the top level.
    struct Category
    {
        QString key;
        QString title;
        int image = 0;
        int selectedImage = 0;
        int parent = -1;
    };

    // Set-up: takes the heading selected in the main window; in edit mode
    // reads the list's selected bookmark, in add mode copies the heading tree.
    BookmarkEditor(outline::Workspace &workspace, Mode mode);

    Mode mode() const { return m_mode; }
    // The heading selected when the editor opened (empty key when none).
    const Category &heading() const { return m_heading; }

    // Edit mode: whether the selected bookmark was found, and its values as
    // read at set-up (a Null description reads as empty).
    bool hasRow() const { return m_hasRow; }
    QString initialName() const { return m_row.name; }
    QString initialLink() const { return m_row.link; }
    QString initialDescription() const { return m_row.description; }

    // Add mode: the heading tree, parents before children, in sibling order,
    // and the index of the selected heading in it (-1 when none).
    const std::vector<Category> &categories() const { return m_categories; }
    int headingCategory() const { return m_headingCategory; }

    // OK is enabled exactly when both texts, trimmed, are non-empty.
    static bool canConfirm(const QString &name, const QString &link);

    // Confirmations. Each returns true when the dialog closes, false when it
    // stays open (an empty field, or a refused name after its message).
    // Whatever they write is written in one transaction; engine errors pass
    // to the caller with nothing written.
    bool confirmAdd(const QString &name, const QString &link, const QString &description,
        const QString &targetHeadingKey);
    bool confirmEdit(const QString &name, const QString &link, const QString &description);

    // The key of the bookmark that joined the list in the last confirmAdd;
    // empty when it went to another heading.
    QString addedKey() const { return m_addedKey; }

    static QString duplicateNameMessage(const QString &name);
    static QString invalidNameMessage();

private:
    // Duplicate and validity tests of a name under a heading; shows the
    // message and returns false on a refusal.
    bool acceptName(const QString &name, const QString &headingKey);
    void copyHeadingTree();

    outline::Workspace &m_ws;
    Mode m_mode;
    Category m_heading;
    bool m_hasRow = false;
    store::BookmarkRow m_row;
    std::vector<Category> m_categories;
    int m_headingCategory = -1;
    QString m_addedKey;
};

} // namespace quillet::editors
