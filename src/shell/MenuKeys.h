#pragma once
// The keyboard in the main window's menus, as on the platform the program was made for:
//
// - F10, and Alt pressed and released alone, move into the menu bar, its first menu marked;
// - every menu and item has an access key, the letter after '&' in its caption (Alt+D opens
//   Dictionaries; in an open menu the letter alone chooses the item). The letters are drawn
//   underlined only while Alt is held or the keyboard is in the menus, so the captions look
//   exactly as written otherwise.

#include <QString>

class QMainWindow;

namespace tolvane::shell {

// Sets this up for the window's menu bar and the menus it holds (call once they exist).
void enableMenuKeys(QMainWindow& window);

// A caption as it is drawn: without its access-key marker ("&&" is a plain '&') and without
// the shortcut shown after a tab.
QString plainCaption(const QString& text);

} // namespace tolvane::shell
