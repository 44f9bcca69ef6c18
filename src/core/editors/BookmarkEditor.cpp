#include "editors/BookmarkEditor.h"

#include "browser/BookmarkNames.h"
#include "shell/Workspace.h"
#include "store/Database.h"
#include "store/RandomNumbers.h"
#include "store/Recordset.h"
#include "store/StoreFiles.h"

#include <QDate>

namespace quillet::editors {

namespace {

QString today()
{
    return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
}

// An empty text is written as an empty string, never as Null.
QString textValue(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

// The open row of the edit: the one record with that ID.
QString rowSql(qint64 id)
{
    return QStringLiteral("select * from tbItems where ID = ") + QString::number(id);
}

} // namespace

BookmarkEditor::BookmarkEditor(shell::Workspace &workspace, Mode mode)
    : m_ws(workspace)
    , m_mode(mode)
{
    if (const browser::HeadingNode *node = m_ws.tree().current()) {
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
    auto rs = db->openRecordset(store::bookmarkLookupSql(m_heading.key, key));
    if (rs->isEmpty())
        return;
    m_row = store::BookmarkRow::fromRecord(*rs, false);
    m_hasRow = true;
}

void BookmarkEditor::copyHeadingTree()
{
    const browser::HeadingTreeModel &tree = m_ws.tree();
    m_categories.reserve(static_cast<size_t>(tree.headingCount()));
    const browser::HeadingNode *current = tree.current();
    // Depth first, each node before its children, siblings in order.
    auto copy = [&](auto &&self, const browser::HeadingNode &node, int parent) -> void {
        const int index = static_cast<int>(m_categories.size());
        m_categories.push_back({node.key, node.title, node.image, node.expandedImage, parent});
        if (&node == current)
            m_headingCategory = index;
        for (const auto &child : node.children)
            self(self, *child, index);
    };
    for (const auto &top : tree.topLevel())
        copy(copy, *top, -1);
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
    if (browser::bookmarkNameExists(*m_ws.document().database(), name, headingKey)) {
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

    const QString date = today();
    browser::BookmarkList &list = m_ws.list();
    // Into the listed heading the bookmark joins the list with a fresh key;
    // elsewhere its key stays empty until that heading is listed.
    const bool joinsList = targetHeadingKey == list.listedHeading();
    const QString key = joinsList
        ? store::assignRandomKey([&](const QString &k) { return !list.model().containsKey(k); })
        : QString();
    {
        store::Transaction transaction(*db);
        // An empty set over tbItems, only to append to.
        auto rs = db->openRecordset(rowSql(0));
        rs->addNew();
        rs->setValue(QStringLiteral("delFlag"), 1);
        rs->setValue(QStringLiteral("urlDate"), date);
        rs->setValue(QStringLiteral("lKey"), textValue(key));
        rs->setValue(QStringLiteral("urlName"), name);
        rs->setValue(QStringLiteral("urlLink"), link);
        rs->setValue(QStringLiteral("tKey"), targetHeadingKey);
        rs->setValue(QStringLiteral("urlDescrip"), textValue(description));
        rs->update();
        transaction.commit();
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

    const QString date = today();
    {
        store::Transaction transaction(*db);
        auto rs = db->openRecordset(rowSql(m_row.id));
        if (rs->isEmpty())
            return true;
        if (rs->integer(QStringLiteral("delFlag")) != 1) {
            // A saved row is never changed: a new version replaces it and the
            // old one waits, marked, for Save or Discard.
            const QByteArray thumbnail = rs->bytes(QStringLiteral("urlThumb"));
            const QString pictureFile = textValue(rs->text(QStringLiteral("imgFile")));
            rs->addNew();
            rs->setValue(QStringLiteral("delFlag"), 1);
            rs->setValue(QStringLiteral("urlDate"), date);
            rs->setValue(QStringLiteral("urlThumb"), thumbnail);
            rs->setValue(QStringLiteral("tKey"), m_row.headingKey);
            rs->setValue(QStringLiteral("lKey"), textValue(m_row.key));
            rs->setValue(QStringLiteral("urlName"), name);
            rs->setValue(QStringLiteral("urlLink"), link);
            rs->setValue(QStringLiteral("urlDescrip"), textValue(description));
            rs->setValue(QStringLiteral("imgFile"), pictureFile);
            rs->update();
            rs->edit(); // the old row is still the current one
            rs->setValue(QStringLiteral("delFlag"), -1);
            rs->update();
            transaction.commit();
            m_ws.document().setModified(true);
        } else {
            // Already pending since the last Save: changed in place.
            rs->edit();
            rs->setValue(QStringLiteral("urlName"), name);
            rs->setValue(QStringLiteral("urlLink"), link);
            rs->setValue(QStringLiteral("urlDate"), date);
            rs->setValue(QStringLiteral("urlDescrip"), textValue(description));
            rs->update();
            transaction.commit();
        }
    }
    browser::BookmarkList &list = m_ws.list();
    const int row = list.model().updateEntry(m_row.key, {m_row.key, name, link, date});
    if (row >= 0) {
        list.selectRow(row, true);
        list.showEntry(m_row.key);
    }
    m_ws.clipboard().clear();
    return true;
}

} // namespace quillet::editors
