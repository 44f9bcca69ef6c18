// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/links/LinkCheckModel.h"
#include "core/links/LinkChecker.h"

#include <QObject>

class QNetworkAccessManager;

namespace quillet::outline {
class Workspace;
}

namespace quillet::links {

// Which bookmarks a check takes.
enum class CheckScope
{
    Document, // every bookmark of the document
    Heading, // the selected heading's and its sub-headings'
    Selection // the bookmarks selected in the main window's list
};

// The link check window without its window: the check of a scope into the
// model, and the actions on its rows. A check only reads the document; the
// actions change it through the bookmark row owner, each in one transaction,
// and keep the main window's list and description pane up to date.
class LinkCheckSession : public QObject
{
    Q_OBJECT
public:
    explicit LinkCheckSession(outline::Workspace &workspace, LinkCheckOptions options = {},
        QNetworkAccessManager *network = nullptr, QObject *parent = nullptr);
    ~LinkCheckSession() override;

    static QStringList scopeNames(); // in the order of CheckScope
    static QString nothingToCheckMessage();

    LinkCheckModel &model() { return m_model; }
    const LinkChecker &checker() const { return m_checker; }
    bool isRunning() const { return m_checker.isRunning(); }
    // "OK 3   Moved 1   Dead 2   Skipped 0", counting bookmarks.
    QString countsText() const;

    // Lists the scope's bookmarks and starts checking their links. Says so
    // and lists nothing when the scope holds no bookmark. Engine errors pass
    // to the caller.
    void start(CheckScope scope);
    // Stops the check; the results so far stay.
    void stop();

    // Opens the links of `rows` in the browser.
    void openRows(const QList<int> &rows);
    // Shows the bookmark of `row` in the main window: its heading selected
    // and listed, the bookmark selected. False when it is gone.
    bool goTo(int row);
    // Deletes the bookmarks of `rows` (pending until Save), in one
    // transaction; their rows leave the list.
    void deleteRows(const QList<int> &rows);
    // Gives each Moved bookmark among `rows` its new link, as a pending edit
    // in one transaction.
    void useNewLinks(const QList<int> &rows);

Q_SIGNALS:
    void progressChanged(int done, int total);
    void runningChanged(bool running);

private:
    outline::Workspace &m_ws;
    LinkChecker m_checker;
    LinkCheckModel m_model;
};

} // namespace quillet::links
