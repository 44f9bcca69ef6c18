// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace quillet::outline {
class Workspace;
}

namespace quillet::shell {

// A link handed to Quillet from outside its window: `quillet --add URL
// [--title TEXT] [--heading PATH]` or a "quillet:add?url=...&title=..." link
// a browser's bookmarklet opens.
struct AddRequest
{
    QString link;
    QString title; // empty: the link is the name until the page's title comes
    QString headingPath; // empty: the heading selected in the window
};

// The longest request taken, link, title and path together (bytes of UTF-8).
inline constexpr int kMaxAddRequestBytes = 64 * 1024;

// Why a request can not be taken; empty when it can. Checks what needs no
// document: a link is given, is one, is not refused, and the request is not
// too long.
QString addRequestProblem(const AddRequest &request);

// A "quillet:" link as a browser hands it over: "quillet:add?url=...&title=
// ...&heading=...", percent-encoded (also "quillet://add?..."). Sets `error`
// and returns nothing when it is not such a link.
std::optional<AddRequest> parseQuilletLink(const QString &text, QString *error);

// The request as it travels to the running instance, and back.
QByteArray encodeAddRequest(const AddRequest &request);
std::optional<AddRequest> decodeAddRequest(const QByteArray &bytes);

// What became of a request.
struct AddOutcome
{
    bool added = false;
    QString message; // what the status bar and the caller say
};

// The reply the running instance sends back for a request.
QByteArray encodeAddOutcome(const AddOutcome &outcome);
AddOutcome decodeAddOutcome(const QByteArray &bytes);

// Adds the requested bookmark to the heading the path names (or the selected
// one) of the open document, as a drop of one link would; the status bar
// says what happened. A bad request, an unknown heading or no document
// changes nothing and the outcome says why.
AddOutcome applyAddRequest(outline::Workspace &ws, const AddRequest &request);

} // namespace quillet::shell
