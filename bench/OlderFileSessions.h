#pragma once
// Scripted sessions on an older file, as a user would meet it, each timed by the event loop's
// own passes (a 1 ms timer's gaps: how long the window could not answer) and by how long each
// key or click took to be handled:
// - the first open of the file (the list index and the headword index made behind it), with a
//   key typed every 200 ms;
// - the first Find in it, with a key typed in the dictionary window every 200 ms while the
//   full-text index is made;
// - typing, End, Page Down held and clicks on far rows during the whole list's fill;
// - an edit (Save) during the fill.
// Each session prints its longest pass and the 99th percentile of its passes.

#include "data/DictionaryConfig.h"

#include <QString>
#include <string>

namespace tolvane::bench {

// `olderFile` is copied into a folder of its own for each session (it is changed by them).
void runOlderFileSessions(const data::DictionaryConfig& config, const QString& olderFile,
                          const std::string& label);

} // namespace tolvane::bench
