#pragma once
// One row per dictionary: everything a dictionary window uses that differs between the three
// works. Every file path, query text and column name is formed from it.

#include <QString>
#include <vector>

namespace tolvane::data {

struct DictionaryConfig {
    // The window kind's name: "Form1", "frmEastons" or "frmHitchcock".
    QString windowName;
    // The window's own caption (never displayed: the window has no title bar).
    QString windowCaption;
    // The Dictionaries menu item that opens it, and the main window caption while it is open.
    QString menuCaption;
    QString mainCaption;

    QString fileName;   // "db2.mdb"
    QString pathSuffix; // appended to the application folder: "/db2.mdb" on this platform
    QString table;
    QString headwordColumn;
    QString definitionColumn;
    QString scriptureColumn; // empty: the dictionary has no scripture column and no rtb1

    // Layout differences between the windows (twips).
    int definitionHeight = 765;

    // An added dictionary (AddedDictionaries.h): shaped as Easton's, its title the menu
    // caption, its source ("SWORD module Nave") recorded in its file.
    QString source{};
    bool added = false;
    // Keys that are numbers of this many digits ("00011" in Strong's), 0 for words: a typed
    // "G11" or "11" is looked up as "00011" (NumberedKeys.h).
    int keyDigits = 0;

    bool hasScripture() const { return !scriptureColumn.isEmpty(); }
};

const DictionaryConfig& kingJamesConfig();
const DictionaryConfig& eastonsConfig();
const DictionaryConfig& hitchcockConfig();
// The three, in the order of the Dictionaries menu's table: King James, Hitchcock, Easton's.
const std::vector<const DictionaryConfig*>& allConfigs();
// The configuration for a window name (added dictionaries too) or one of the three's file
// names; nullptr when there is none.
const DictionaryConfig* configByWindowName(const QString& windowName);
const DictionaryConfig* configByFileName(const QString& fileName);

} // namespace tolvane::data
