// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::store {

// Documents that need no check when they are opened again: the files
// Quillet created, wrote or checked itself, for as long as nothing else has
// changed them since they were last closed (device, inode, size and both
// times are remembered at every close). The stamps of closed documents are
// kept in the application home, so a document checked once is not read
// whole again at every start; a file changed elsewhere (its change time
// moves), or left with a write-ahead log by a crash, is checked again.
void trustDocumentFile(const QString &path);
bool isTrustedDocumentFile(const QString &path);
// Trusted, and closed with nothing pending: a stopped session left no
// unsaved work in it, so nobody needs to look for any.
bool isSettledDocumentFile(const QString &path);
// Called whenever a connection closes a file; `settled` when the connection
// knows that nothing is left pending in it.
void noteDocumentClosed(const QString &path, bool settled);
// A closed file this process has just written whole.
void trustClosedDocument(const QString &path);

// Forgets what this process has learnt, as a new process starts: the
// home's list is read again at the next question. For tests.
void forgetTrustedDocuments();

} // namespace quillet::store
