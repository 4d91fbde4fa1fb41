#pragma once
// What a dictionary window shows: its search text and the entry in view. Taken from the window
// and put back into it when it opens again, at the next start (SessionKeeper.h) or when its file
// has been replaced (ReplacedFiles.h).

#include "data/DictionaryConfig.h"

#include <QString>

namespace tolvane::shell {

class Forms;

struct DictionaryView {
    QString searchText;
    QString headword; // the entry shown; empty: none
    int duplicate = 0;
};

// What the loaded window of `config` shows now; empty when it is not loaded.
DictionaryView viewOf(Forms& forms, const data::DictionaryConfig& config);

// Puts `view` back into the loaded window of `config`: shows the entry, then the search text
// (the user may have typed on after the entry was shown) and the entry's list item. A search
// text or entry the file no longer holds is left out rather than greet the user with "No
// Records Found".
void restoreView(Forms& forms, const data::DictionaryConfig& config, const DictionaryView& view);

} // namespace tolvane::shell
