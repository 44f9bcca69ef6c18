// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

namespace quillet::outline {
class Workspace;
}

namespace quillet::outline {
struct HeadingNode;
}

namespace quillet::editors {

// The logic of the heading editor (frmNode): adds headings beside or below
// the current heading, or renames it and changes its icon. It works on the
// tree only and never writes to the database. The dialog shows it.
class HeadingEditor
{
public:
    // One entry of the icon list: the pair of pictures starting at `picture`.
    struct IconEntry
    {
        QString key; // "a" + picture
        QString text; // "Display Icon " + entry number
        int picture = 0;
    };

    // Which buttons the title allows.
    struct Enabling
    {
        bool ok = false;
        bool heading = false;
        bool subHeading = false;
        bool focusTitle = false; // the input focus goes back to the title box
    };

    // `pictureCount` is the number of heading pictures (indices 1..count).
    HeadingEditor(outline::Workspace &workspace, bool editMode, int pictureCount);

    bool editMode() const { return m_edit; }

    // Set-up; false when the dialog must close at once (edit mode without a
    // current heading).
    bool setUp();
    // The title box's text after set-up.
    QString initialTitle() const { return m_initialTitle; }
    // "Edit Heading" or "Add Heading".
    QString banner() const;

    QList<IconEntry> iconEntries() const;
    // The entry (0-based) that stands for the chosen icon; -1 when none does.
    int chosenEntry() const;
    int chosenIcon() const { return m_chosenIcon; }
    // The user picked entry `entry` (0-based).
    void chooseEntry(int entry);

    Enabling enabling(const QString &text) const;

    // "Add heading" (beside the current heading) or "Add subHeading" (as
    // its last child). True when a heading was added; on a refusal the
    // message has been shown.
    bool addHeading(const QString &text, bool asChild);
    // OK in edit mode. True when the dialog closes (applied or nothing to
    // do); false after a refusal.
    bool confirmEdit(const QString &text);

    static QString existsMessage(const QString &title);
    static QString invalidMessage();

private:
    bool titleAccepted(const QString &title, const outline::HeadingNode *parent);

    outline::Workspace &m_ws;
    bool m_edit;
    int m_pictureCount;
    int m_chosenIcon = 1;
    QString m_initialTitle;
};

} // namespace quillet::editors
