#pragma once
// The files of the dictionary folder that cannot be added dictionaries (data/AddedDictionaries.h)
// in the Dictionaries menu, after the added ones: greyed, never offered to open, each with
// what is wrong and what to do in its tooltip. A few at most, so the menu still fits: past
// kMenuUnusableFiles one greyed item counts the rest, which Get Dictionaries lists.

class QAction;
class QMenu;

namespace tolvane::shell {

inline constexpr int kMenuUnusableFiles = 5;

// Inserts the items of the last rescan's unusable files before `before`.
void listUnusableFiles(QMenu& menu, QAction* before);

} // namespace tolvane::shell
