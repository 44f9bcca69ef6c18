// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/Document.h"

#include "core/store/Schema.h"
#include "core/store/StoreFiles.h"

#include <QFileInfo>

namespace quillet::store {

Document::Document(const QString &programTitle, QObject *parent)
    : QObject(parent)
    , m_programTitle(programTitle)
    , m_caption(programTitle)
{
}

Document::~Document()
{
    closeAndDeleteUntitled();
}

void Document::setModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    Q_EMIT modifiedChanged(modified);
}

QString Document::path() const
{
    if (m_fileName.isEmpty())
        return QString();
    return m_folder + QLatin1Char('/') + m_fileName;
}

void Document::setCaption(const QString &caption)
{
    if (m_caption == caption)
        return;
    m_caption = caption;
    Q_EMIT captionChanged(caption);
}

void Document::setNames(const QString &path)
{
    const QFileInfo info(path);
    m_folder = info.absolutePath();
    m_fileName = info.fileName();
}

void Document::createUntitled(bool showNewMarker)
{
    const QString path = newTempDatabaseName();
    createEmptyDatabase(path);
    std::unique_ptr<Database> db;
    try {
        db = openDocumentDatabase(path);
    } catch (const EngineError &) {
        deleteFileIfExists(path); // nothing half-made stays behind in _tmp
        throw;
    }
    m_db = std::move(db);
    Q_EMIT databaseChanged();
    m_untitled = true;
    setModified(false);
    setNames(path);
    setCaption(m_programTitle + (showNewMarker ? QStringLiteral("- New") : QString()));
}

void Document::adoptUntitled(std::unique_ptr<Database> db, const QString &path)
{
    m_db = std::move(db);
    m_untitled = true;
    setModified(false);
    setNames(path);
    setCaption(m_programTitle);
}

void Document::adoptOpened(std::unique_ptr<Database> db, const QString &path)
{
    m_db = std::move(db);
    Q_EMIT databaseChanged();
    setTitledName(path);
}

void Document::setTitledName(const QString &path)
{
    m_untitled = false;
    setModified(false);
    setNames(path);
    setCaption(m_programTitle + QStringLiteral("- ") + m_fileName);
}

void Document::closeAndDeleteUntitled()
{
    const bool deleteFile = m_untitled && !m_fileName.isEmpty();
    const QString file = path();
    closeDatabase();
    if (deleteFile)
        deleteFileIfExists(file);
}

void Document::closeDatabase()
{
    if (!m_db)
        return;
    m_db->close();
    m_db.reset();
    Q_EMIT databaseChanged();
}

void Document::setDatabase(std::unique_ptr<Database> db)
{
    m_db = std::move(db);
    Q_EMIT databaseChanged();
}

void Document::registerPendingImageFile(const QString &name)
{
    if (!name.isEmpty())
        m_pendingImages << name;
}

} // namespace quillet::store
