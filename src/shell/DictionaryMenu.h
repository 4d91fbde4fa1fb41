#pragma once
// The added dictionaries in the main window's Dictionaries menu, between the separator below
// the three and "Get Dictionaries...". However many there are, the menu fits a screen of 600
// pixels and its last items stay reachable: it lists at most kMenuDictionaries of them (the
// first by title), and past that a "More Dictionaries..." item opens a window listing them
// all (moredictionaries/). A title is cut to kMenuTitlePixels, the whole of it in the item's
// tooltip.

#include <QList>
#include <functional>
#include <vector>

class QAction;
class QMenu;

namespace tolvane::data {
struct DictionaryConfig;
}

namespace tolvane::shell {

inline constexpr int kMenuDictionaries = 15;
inline constexpr int kMenuTitlePixels = 360;

// Replaces every item between `after` and `before` with the items of `added`, then "More
// Dictionaries..." (mnuDictionariesMore, calling `more`) when they are more than
// kMenuDictionaries. Each added item calls `open` with its dictionary and gets an access key
// no other item of the menu uses.
void listAddedDictionaries(QMenu& menu, QAction* after, QAction* before,
                           const std::vector<const data::DictionaryConfig*>& added,
                           const std::function<void(const data::DictionaryConfig&)>& open,
                           const std::function<void()>& more);

} // namespace tolvane::shell
