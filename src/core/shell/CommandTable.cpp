// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/CommandTable.h"

namespace quillet::shell {

namespace {

using S = CommandItem::Style;

CommandItem item(const char *key, const char *caption, const char *tooltip = "",
    const char *shortcut = "", int icon = -1, S style = S::Normal)
{
    return CommandItem {QLatin1String(key), QString::fromUtf8(caption), QString::fromUtf8(tooltip),
        QLatin1String(shortcut), icon, style, false, QString()};
}

CommandItem separator(const char *key)
{
    return item(key, "", "", "", -1, S::Separator);
}

CommandItem menu(const char *key, const char *caption, const char *band)
{
    CommandItem result = item(key, caption);
    result.submenu = QLatin1String(band);
    return result;
}

CommandItem hidden(CommandItem result)
{
    result.hidden = true;
    return result;
}

QList<CommandItem> buildItems()
{
    CommandItem synch = item("miTSynch", "Synchronization", "", "", 7);
    synch.submenu = QStringLiteral("bndSync");
    return {
        menu("mnuFile", "File", "bndFile"),
        menu("mnuEdit", "Edit", "bndEdit"),
        menu("mnuView", "View", "bndView"),
        menu("mnuTool", "Tools", "bndTool"),
        menu("mnuHelp", "Help", "bndHelp"),
        item("miFNew", "New", "New file", "Ctrl+N", 1),
        item("miFOpen", "Open", "Open file", "Ctrl+O", 2),
        item("miFSave", "Save", "Save file", "Ctrl+S", 3),
        item("miFSaveAs", "Save as..."),
        separator("miFSep1"),
        hidden(item("miFMRU1", "")),
        hidden(item("miFMRU2", "")),
        hidden(item("miFMRU3", "")),
        hidden(separator("miSepMRU")),
        item("miFExit", "Exit"),
        // Undo and Redo name the step they play back ("Undo Delete
        // bookmark"); Redo also answers Ctrl+Y.
        item("miEUndo", "Undo", "Undo", "Ctrl+Z", 24),
        item("miERedo", "Redo", "Redo", "Ctrl+Shift+Z", 25),
        separator("miESep0"),
        item("miECut", "Cut", "", "Ctrl+X"),
        item("miECopy", "Copy", "", "Ctrl+C"),
        item("miEPaste", "Paste", "", "Ctrl+V"),
        separator("miESep1"),
        item("miEDelete", "Delete", "Delete bookmark", "", 5),
        item("miESelectAll", "Select all        ", "", "Ctrl+A"),
        separator("miESep2"),
        item("miEFind", "Find", "Find", "Ctrl+F", 6),
        item("miVToolBox", "Toolbox", "Show toolbox", "", 0, S::Check),
        separator("miVSep1"),
        item("miVNavPanel", "Navigation panel", "", "", -1, S::Check),
        item("miVDescription", "Description panel", "", "", -1, S::Check),
        item("miTScan", "Scan for duplicates"),
        item("miTCheckLinks", "Check links...", "Check links", "", 23),
        separator("miTSep1"),
        item("miTImport", "Import from IE Favorites       ", "", "Ctrl+I"),
        item("miTExport", "Export to IE Favorites", "", "Ctrl+E"),
        item("miTBrowserImport", "Import browser bookmarks..."),
        item("miTBrowserExport", "Export browser bookmarks..."),
        synch,
        separator("miTSep2"),
        item("miTMakeCHM", "Create chm file", "Create chm file", "", 8),
        separator("miTSep3"),
        item("miTDBBackup", "Backup database"),
        item("miTDBRestore", "Restore database"),
        item("miTDBCompact", "Compact database"),
        separator("miTSep4"),
        item("miTOptions", "Options"),
        item("miTSyncImport", "Sync: Import from IE Favorites"),
        item("miTSyncExport", "Sync: Export to IE Favorites"),
        item("miHContent", "Content                  ", "Help", "", 14),
        separator("miHSep1"),
        item("miHHomepage", "Homepage"),
        item("miHSendMail", "Send mail to author", "Send mail to author", "", 13),
        separator("miHSep2"),
        item("miHUpdate", "Check for update"),
        separator("miHSep3"),
        item("miHAbout", "About Quillet"),
        item("miNAddHead", "", "Add heading or subheading", "", 15),
        item("miNEdit", "", "Edit selection", "", 17),
        item("miNDelete", "", "Delete selection", "", 18),
        separator("miNSep1"),
        item("miNUp", "", "", "", 19),
        item("miNDown", "", "", "", 20),
        item("miNLeft", "", "", "", 21),
        item("miNRight", "", "", "", 22),
        item("miLView", "View"),
        separator("miLSep1"),
        item("miLOpen", "Open"),
        separator("miLSep2"),
        separator("miLSep3"),
        item("miLNew", "New"),
        item("miLEdit", "Edit bookmark", "Edit bookmark", "", 4),
        separator("miLSep4"),
        item("miLMakeSnap", "Make snapshot", "Make snapshot", "", 9),
        item("miLSearch", "Search for picture"),
        separator("miLSep5"),
        item("miLCheckLinks", "Check links", "", "", 23),
        separator("mibSep1"),
        separator("mibSep2"),
        separator("mibSep3"),
        separator("mibSep4"),
    };
}

QList<CommandBand> buildBands()
{
    auto band = [](const char *key, const char *caption, const char *items) {
        return CommandBand {QLatin1String(key), QLatin1String(caption),
            QString::fromLatin1(items).split(QLatin1Char(' '))};
    };
    return {
        band("bndMenu", "Menu", "mnuFile mnuEdit mnuView mnuTool mnuHelp"),
        band("bndFile", "",
            "miFNew miFOpen miFSave miFSaveAs miFSep1 miFMRU1 miFMRU2 miFMRU3 miSepMRU miFExit"),
        band("bndEdit", "",
            "miEUndo miERedo miESep0 miECut miECopy miEPaste miESep1 miEDelete miESelectAll "
            "miESep2 miEFind"),
        band("bndView", "", "miVToolBox miVSep1 miVNavPanel miVDescription"),
        band("bndTool", "",
            "miTSynch miTSep1 miTImport miTExport miTBrowserImport miTBrowserExport miTSep2 "
            "miTDBBackup miTDBRestore miTDBCompact "
            "miTSep3 miTMakeCHM miTScan miTCheckLinks miTSep4 miTOptions"),
        band("bndHelp", "",
            "miHContent miHSep1 miHHomepage miHSendMail miHSep2 miHUpdate miHSep3 miHAbout"),
        band("bndNode", "", "miNAddHead miNEdit miNDelete miNSep1 miNUp miNDown miNLeft miNRight"),
        band("bndList", "",
            "miLView miLSep1 miLOpen miLSep2 miECut miECopy miEPaste miEDelete miESelectAll "
            "miLSep3 miLNew miLEdit miLSep4 miLMakeSnap miLSearch miLSep5 miLCheckLinks"),
        band("bndToolbar", "",
            "miVToolBox mibSep1 miFNew miFOpen miFSave mibSep2 miLEdit miEDelete miEFind mibSep3 "
            "miTMakeCHM miLMakeSnap mibSep4 miHSendMail miHContent"),
        band("bndSync", "", "miTSyncImport miTSyncExport"),
    };
}

} // namespace

const QList<CommandItem> &commandItems()
{
    static const QList<CommandItem> items = buildItems();
    return items;
}

const QList<CommandBand> &commandBands()
{
    static const QList<CommandBand> bands = buildBands();
    return bands;
}

const CommandItem *findCommandItem(const QString &key)
{
    for (const CommandItem &item : commandItems()) {
        if (item.key == key)
            return &item;
    }
    return nullptr;
}

const CommandBand *findCommandBand(const QString &key)
{
    for (const CommandBand &band : commandBands()) {
        if (band.key == key)
            return &band;
    }
    return nullptr;
}

QString recentFileCaption(int k, const QString &entry)
{
    return QLatin1Char('&') + QString::number(k) + QLatin1Char(' ') + entry;
}

} // namespace quillet::shell
