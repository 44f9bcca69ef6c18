// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/editors/BookmarkEditor.h"

#include "core/outline/BookmarkNames.h"
#include "core/outline/HeadingWalk.h"
#include "core/outline/Workspace.h"
#include "core/store/BookmarkTable.h"
#include "core/store/Database.h"
#include "core/store/RandomNumbers.h"
#include "core/store/StoreFiles.h"

#include <QDate>

namespace quillet::editors {

namespace {

QString today()
{
    return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace

BookmarkEditor::BookmarkEditor(outline::Workspace &workspace, Mode mode)
    : m_ws(workspace)
    , m_mode(mode)
{
    if (const outline::HeadingNode *node = m_ws.tree().current()) {
        m_heading.key = node->key;
        m_heading.title = node->title;
        m_heading.image = node->image;
        m_heading.selectedImage = node->expandedImage;
    }
    if (m_mode == Mode::Add) {
        copyHeadingTree();
        return;
    }
    store::Database *db = m_ws.document().database();
    const QString key = m_ws.list().selectedKey();
    if (!db || m_heading.key.isEmpty() || key.isEmpty())
        return;
    const auto row = store::BookmarkTable(*db).findLive(m_heading.key, key, store::Thumbnail::Skip);
    if (!row)
        return;
    m_row = *row;
    m_hasRow = true;
}

void BookmarkEditor::copyHeadingTree()
{
    const outline::HeadingTreeModel &tree = m_ws.tree();
    m_categories.reserve(static_cast<size_t>(tree.headingCount()));
    const outline::HeadingNode *current = tree.current();
    // Tree order; a heading's parent was copied before it, and the copies of
    // its ancestors are the last ones at each lower depth.
    std::vector<int> indexAtDepth;
    for (outline::HeadingWalk walk(tree.topLevel()); walk.next();) {
        const outline::HeadingNode &node = *walk.node();
        const size_t depth = static_cast<size_t>(walk.depth());
        const int parent = depth == 0 ? -1 : indexAtDepth[depth - 1];
        const int index = static_cast<int>(m_categories.size());
        m_categories.push_back({node.key, node.title, node.image, node.expandedImage, parent});
        if (&node == current)
            m_headingCategory = index;
        indexAtDepth.resize(depth + 1);
        indexAtDepth[depth] = index;
    }
}

bool BookmarkEditor::canConfirm(const QString &name, const QString &link)
{
    return !name.trimmed().isEmpty() && !link.trimmed().isEmpty();
}

QString BookmarkEditor::duplicateNameMessage(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"')
        + QStringLiteral(" already exists. Please choose another name. ");
}

QString BookmarkEditor::invalidNameMessage()
{
    return QStringLiteral("The bookmark name is invalid or cannot contain any of the following "
                          "characters:\r\n \\ / : * ? \" < > | ");
}

bool BookmarkEditor::acceptName(const QString &name, const QString &headingKey)
{
    if (outline::bookmarkNameExists(*m_ws.document().database(), name, headingKey)) {
        m_ws.message(duplicateNameMessage(name), platform::MessageIcon::Exclamation);
        return false;
    }
    if (!store::isValidFileName(name)) {
        m_ws.message(invalidNameMessage(), platform::MessageIcon::Exclamation);
        return false;
    }
    return true;
}

bool BookmarkEditor::confirmAdd(const QString &nameText, const QString &linkText,
    const QString &description, const QString &targetHeadingKey)
{
    m_addedKey.clear();
    const QString name = nameText.trimmed();
    const QString link = linkText.trimmed();
    store::Database *db = m_ws.document().database();
    if (name.isEmpty() || link.isEmpty() || targetHeadingKey.isEmpty() || !db)
        return false;
    if (!acceptName(name, targetHeadingKey))
        return false;

    const outline::EditHistory::Scope step(&m_ws.history(), QStringLiteral("Add bookmark"));
    const QString date = today();
    outline::BookmarkList &list = m_ws.list();
    // Into the listed heading the bookmark joins the list with a fresh key;
    // elsewhere its key stays empty until that heading is listed.
    const bool joinsList = targetHeadingKey == list.listedHeading();
    const QString key = joinsList
        ? store::assignRandomKey([&](const QString &k) { return !list.model().containsKey(k); })
        : QString();
    {
        store::BookmarkRow added;
        added.headingKey = targetHeadingKey;
        added.key = key;
        added.name = name;
        added.link = link;
        added.date = date;
        added.description = description;
        store::BookmarkTable(*db).addPending(added);
    }

    if (joinsList) {
        const int row = list.model().addEntry({key, name, link, date});
        list.selectRow(row, true);
        list.showEntry(key);
        m_addedKey = key;
    }
    m_ws.document().setModified(true);
    list.showListStatus(true);
    return true;
}

bool BookmarkEditor::confirmEdit(
    const QString &nameText, const QString &linkText, const QString &description)
{
    const QString name = nameText.trimmed();
    const QString link = linkText.trimmed();
    store::Database *db = m_ws.document().database();
    if (name.isEmpty() || link.isEmpty())
        return false;
    if (!m_hasRow || !db)
        return true;
    // A change of letter case alone is a rename too; the test then finds the
    // bookmark itself and refuses it.
    if (name != m_row.name && !acceptName(name, m_row.headingKey))
        return false;
    if (name == m_row.name && link == m_row.link && description == m_row.description)
        return true;

    const outline::EditHistory::Scope step(&m_ws.history(), QStringLiteral("Edit bookmark"));
    const QString date = today();
    {
        store::BookmarkChange edit;
        edit.name = name;
        edit.link = link;
        edit.date = date;
        edit.description = description;
        store::Transaction transaction(*db);
        const auto changed = store::BookmarkTable(*db).change(m_row.id, edit);
        if (!changed)
            return true;
        transaction.commit();
        if (changed->superseded)
            m_ws.document().setModified(true);
    }
    outline::BookmarkList &list = m_ws.list();
    const int row = list.model().updateEntry(m_row.key, {m_row.key, name, link, date});
    if (row >= 0) {
        list.selectRow(row, true);
        list.showEntry(m_row.key);
    }
    m_ws.clipboard().clear();
    return true;
}

} // namespace quillet::editors
