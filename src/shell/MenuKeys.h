#pragma once
// The keyboard in the main window's menus, as on the platform the program was made for:
//
// - F10, and Alt pressed and released alone, move into the menu bar, its first menu marked;
// - every menu and item has an access key, the letter after '&' in its caption (Alt+D opens
//   Dictionaries; in an open menu the letter alone chooses the item). The letters are drawn
//   underlined only while Alt is held or the keyboard is in the menus, so the captions look
//   exactly as written otherwise.

#include <QSet>
#include <QString>

class QMainWindow;

namespace tolvane::shell {

// Sets this up for the window's menu bar and the menus it holds (call once they exist).
void enableMenuKeys(QMainWindow& window);

// A caption as it is drawn: without its access-key marker ("&&" is a plain '&') and without
// the shortcut shown after a tab.
QString plainCaption(const QString& text);

// The access key of a caption, lower case; a null QChar when it has none.
QChar accessKeyOf(const QString& caption);

// A caption for a text written elsewhere (an added dictionary's title): drawn as written ('&'
// doubled), its access key the first letter or digit not in `used`, which gains it. None when
// every one is taken.
QString captionWithAccessKey(const QString& text, QSet<QChar>& used);

} // namespace tolvane::shell
