// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/Database.h"
#include "core/store/TableDef.h"

#include <QString>
#include <memory>
#include <optional>

namespace quillet::store {

// Every document and every backup carries this password.
inline constexpr const char kDocumentPassword[] = "tavo@Lurk";
// Locale part of the creation string; our engine accepts it and always uses
// its own case-insensitive text order.
inline constexpr const char kDocumentLocale[] = ";LANGID=0x0409;CP=1252;COUNTRY=0";

QString openConnectString(); // ";pwd=" + password
QString createConnectString(); // locale + ";pwd=" + password

// The format version written to tbTips at every Save.
inline constexpr const char kFormatVersion[] = "3.0";

enum class DocumentTable
{
    Tips = 0,
    Nodes = 1,
    Items = 2
};

// The definitions of tbTips, tbNodes and tbItems, fields in creation order.
TableDef tableDefinition(DocumentTable which);
void createTable(Database &db, DocumentTable which);

// Creates the indexes of tbItems that a document saved by an earlier
// version lacks (the caller's transaction holds them).
void addMissingIndexes(Database &db);

// Creates the file with the locale and password and the three empty tables.
void createEmptyDatabase(const QString &path);

// The store's part of ResetDocumentTables: tbNodes and tbItems dropped and
// created again, empty, in one transaction (the caller's when it has one).
// Bypasses delFlag, so Discard cannot bring the rows back.
void resetDocumentTables(Database &db);

// Opens a document exclusively with the password (throws EngineError).
std::unique_ptr<Database> openDocumentDatabase(const QString &path);

// True when the file opens exclusively with the password right now;
// `failure`, when given, receives the reason when it does not.
bool canOpenDatabase(const QString &path, std::optional<EngineError> *failure = nullptr);

// A document whose file or folder cannot be written, opened for viewing
// (throws EngineError).
std::unique_ptr<Database> openDocumentForViewing(const QString &path);
// Opens a document for work, or for viewing when its file or folder cannot
// be written.
std::unique_ptr<Database> openDocumentToLoad(const QString &path);
// canOpenDatabase for a document that can be written, else whether it opens
// for viewing.
bool canLoadDocument(const QString &path, std::optional<EngineError> *failure = nullptr);

} // namespace quillet::store

namespace quillet::store {

// The root heading every tree starts with.
inline constexpr const char kRootKey[] = "kRoot";
inline constexpr const char kRootTitle[] = "my Favroites";
inline constexpr int kRootImage = 1;
inline constexpr int kRootExpandedImage = 2;

} // namespace quillet::store
