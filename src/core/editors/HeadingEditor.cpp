// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/editors/HeadingEditor.h"

#include "core/outline/HeadingOperations.h"
#include "core/outline/Workspace.h"
#include "core/store/RandomNumbers.h"
#include "core/store/StoreFiles.h"

namespace quillet::editors {

HeadingEditor::HeadingEditor(outline::Workspace &workspace, bool editMode, int pictureCount)
    : m_ws(workspace)
    , m_edit(editMode)
    , m_pictureCount(pictureCount)
{
}

bool HeadingEditor::setUp()
{
    if (!m_edit) {
        m_chosenIcon = 1;
        m_initialTitle.clear();
        return true;
    }
    const outline::HeadingNode *heading = m_ws.tree().current();
    if (!heading)
        return false;
    m_chosenIcon = heading->image;
    m_initialTitle = heading->title;
    return true;
}

QString HeadingEditor::banner() const
{
    return m_edit ? QStringLiteral("Edit Heading") : QStringLiteral("Add Heading");
}

QList<HeadingEditor::IconEntry> HeadingEditor::iconEntries() const
{
    QList<IconEntry> entries;
    for (int k = 1; k <= m_pictureCount; k += 2)
        entries.append({QStringLiteral("a") + QString::number(k),
            QStringLiteral("Display Icon ") + QString::number((k + 1) / 2), k});
    return entries;
}

int HeadingEditor::chosenEntry() const
{
    // An even index (never made here) shows the pair it belongs to.
    const int entry = (m_chosenIcon + 1) / 2 - 1;
    return entry >= 0 && entry < iconEntries().size() ? entry : -1;
}

void HeadingEditor::chooseEntry(int entry)
{
    if (entry < 0 || entry >= iconEntries().size())
        return;
    m_chosenIcon = 2 * (entry + 1) - 1;
}

HeadingEditor::Enabling HeadingEditor::enabling(const QString &text) const
{
    Enabling state;
    const bool empty = text.trimmed().isEmpty();
    if (m_edit) {
        state.ok = !empty;
        return state;
    }
    if (empty) {
        state.focusTitle = true;
        return state;
    }
    const outline::HeadingNode *heading = m_ws.tree().current();
    state.subHeading = true;
    // The top-level heading gets no siblings.
    state.heading = heading && heading->parent;
    return state;
}

QString HeadingEditor::existsMessage(const QString &title)
{
    return QLatin1Char('"') + title
        + QStringLiteral("\" already exists. Please choose another name. ");
}

QString HeadingEditor::invalidMessage()
{
    return QStringLiteral("The heading is invalid or cannot contain any of the following "
                          "characters:\r\n \\ / : * ? \" < > | ");
}

bool HeadingEditor::titleAccepted(const QString &title, const outline::HeadingNode *parent)
{
    if (outline::findChildHeading(title, parent)) {
        m_ws.message(existsMessage(title), platform::MessageIcon::Exclamation);
        return false;
    }
    if (!store::isValidFileName(title)) {
        m_ws.message(invalidMessage(), platform::MessageIcon::Exclamation);
        return false;
    }
    return true;
}

bool HeadingEditor::addHeading(const QString &text, bool asChild)
{
    outline::HeadingTreeModel &tree = m_ws.tree();
    outline::HeadingNode *selected = tree.current();
    const QString title = text.trimmed();
    if (m_edit || !selected || title.isEmpty() || (!asChild && !selected->parent))
        return false;
    outline::HeadingNode *parent = asChild ? selected : selected->parent;
    if (!titleAccepted(title, parent))
        return false;

    const outline::EditHistory::Scope step(&m_ws.history(), QStringLiteral("Add heading"));
    const QString key
        = store::assignRandomKey([&tree](const QString &k) { return !tree.containsKey(k); });
    const int row = asChild ? -1 : selected->row() + 1;
    outline::HeadingNode *node
        = tree.insertHeading(parent, row, title, key, m_chosenIcon, m_chosenIcon + 1);
    if (!node)
        return false;
    // Scrolled into view: every heading above it is open.
    for (outline::HeadingNode *up = parent; up; up = up->parent)
        tree.setExpanded(up, true);
    tree.setCurrent(node);

    // The new heading is listed; it has no bookmarks.
    outline::BookmarkList &list = m_ws.list();
    list.clear();
    list.setListedHeading(key);
    m_ws.document().setModified(true);
    list.showListStatus(true);
    return true;
}

bool HeadingEditor::confirmEdit(const QString &text)
{
    outline::HeadingTreeModel &tree = m_ws.tree();
    outline::HeadingNode *heading = tree.current();
    if (!m_edit || !heading)
        return true;
    const QString title = text.trimmed();
    const bool sameTitle = title.toUpper() == heading->title.toUpper();
    if (sameTitle && m_chosenIcon == heading->image)
        return true;
    // A change of letter case alone needs no tests.
    if (!sameTitle && !titleAccepted(title, heading->parent))
        return false;
    const outline::EditHistory::Scope step(&m_ws.history(), QStringLiteral("Edit heading"));
    tree.setTitle(heading, title);
    tree.setImages(heading, m_chosenIcon, m_chosenIcon + 1);
    m_ws.document().setModified(true);
    return true;
}

} // namespace quillet::editors
