#pragma once
// Carries what the user had on screen from one run to the next, through the user's settings
// file (platform/UserSettings.h): the main and Find windows' places, the open dictionary with
// its search text and shown entry, the Scripture window's place, the Find text and scope, and the
// history for Back and Forward. With nothing remembered (the first start, or after `tolvane
// --fresh`) every window starts exactly as it always has: default size and place, no dictionary
// open.
//
// What is remembered is written when the main window closes (before its dictionary window
// goes), when the Find window closes, and when the program ends by any other way (the End
// button). A remembered window place is used only where the whole window fits the screens
// present now; a dictionary or entry that is gone is skipped. Nothing here shows a message:
// remembering is a courtesy. A settings file that cannot be written is named on stderr, once,
// as is one that is not the user's own (its settings are not kept) and one that could not be
// read and was written anew.

#include <QObject>

namespace tolvane::platform {
class UserSettings;
}
namespace tolvane::find {
class FindWindow;
}

namespace tolvane::shell {

class Forms;

class SessionKeeper : public QObject {
    Q_OBJECT
public:
    SessionKeeper(Forms& forms, platform::UserSettings& settings, QObject* parent = nullptr);

    // Shows the main window, where it was last time, then opens the remembered dictionary at
    // its entry and takes up the remembered history. Errors go to the caller (the window
    // mechanism's failures are reported there already).
    void start();

    // Writes down what the loaded windows show now, and the history.
    void save();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void mainWindowLoaded(QWidget* window);
    void findWindowLoaded(QWidget* window);
    void restoreHistory();
    void restoreDictionary();
    void saveMainWindow();
    void saveFindWindow();
    void saveScriptureWindow();
    void saveHistory();
    void flush();

    Forms& m_forms;
    platform::UserSettings& m_settings;
    bool m_reportedWriteFailure = false;
};

} // namespace tolvane::shell
