// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/Database.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

namespace quillet::store {

// The one open document: its database (held exclusively), whether it is the
// untitled file in _tmp, whether it has unsaved changes, and its name.
class Document : public QObject
{
    Q_OBJECT
public:
    // The caption starts with the program's title.
    explicit Document(const QString &programTitle, QObject *parent = nullptr);
    ~Document() override;

    Database *database() const { return m_db.get(); }
    bool isOpen() const { return m_db != nullptr; }
    bool isUntitled() const { return m_untitled; }
    bool isModified() const { return m_modified; }
    void setModified(bool modified);

    QString folder() const { return m_folder; }
    QString fileName() const { return m_fileName; }
    // Folder + "/" + file name; empty when none.
    QString path() const;

    // Main window caption: "Quillet", "Quillet- New" or "Quillet- " + name.
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

    // Creates a new untitled database in _tmp and opens it (the heading tree
    // is the caller's: it adds the root heading). On an engine error nothing
    // has changed here and the error propagates.
    void createUntitled(bool showNewMarker);
    // Makes an untitled database that a stopped session left in _tmp the
    // current document again (caption "Quillet").
    void adoptUntitled(std::unique_ptr<Database> db, const QString &path);
    // Makes an opened file the current titled document.
    void adoptOpened(std::unique_ptr<Database> db, const QString &path);
    // Names and caption of a titled document, without touching the database.
    void setTitledName(const QString &path);
    // Closes the database; an untitled file is deleted with it.
    void closeAndDeleteUntitled();
    // Closes the database, keeping its file.
    void closeDatabase();
    // Takes over a database opened elsewhere (after Save As, compaction).
    void setDatabase(std::unique_ptr<Database> db);

    // Names of picture and thumbnail files written since the last Save.
    const QStringList &pendingImageFiles() const { return m_pendingImages; }
    void registerPendingImageFile(const QString &name);
    void clearPendingImageFiles() { m_pendingImages.clear(); }

Q_SIGNALS:
    void captionChanged(const QString &caption);
    void modifiedChanged(bool modified);
    // Another database became current, or none (New, Open, Save As,
    // restore, compaction, close).
    void databaseChanged();

private:
    void setNames(const QString &path);

    std::unique_ptr<Database> m_db;
    bool m_untitled = true;
    bool m_modified = false;
    QString m_folder;
    QString m_fileName;
    QString m_programTitle;
    QString m_caption;
    QStringList m_pendingImages;
};

} // namespace quillet::store
