#pragma once
// The program's windows: one program-wide FormInstance per window kind, created on first
// use. main() makes one Forms and shows frmMain; tests make their own for a fresh program.

#include "data/DictionaryConfig.h"
#include "shell/FormInstance.h"

#include <QObject>
#include <QPointer>
#include <map>
#include <memory>
#include <vector>

class QMdiSubWindow;
class QWindow;

namespace tolvane::dictwindow {
class DictionaryWindow;
}
namespace tolvane::scripture {
class VerseLookups;
class ScriptureWindow;
} // namespace tolvane::scripture
namespace tolvane::find {
class FindService;
class FindWindow;
} // namespace tolvane::find

namespace tolvane::getdictionaries {
class GetDictionariesWindow;
}

namespace tolvane::shell {

class MainWindow;
class AboutDialog;
class Navigator;
class ReplacedFiles;

class Forms : public QObject {
    Q_OBJECT
public:
    explicit Forms(QObject* parent = nullptr);
    ~Forms() override;
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    FormInstance& frmMain();
    FormInstance& Dialog();
    FormInstance& Form1();
    FormInstance& frmEastons();
    FormInstance& frmHitchcock();
    FormInstance& frmFind();
    FormInstance& dictionaryForm(const data::DictionaryConfig& config);

    // A dictionary kind's own object: its handlers and its ws, db and rs.
    dictwindow::DictionaryWindow& dictionaryWindow(const data::DictionaryConfig& config);

    // The loaded windows, or nullptr.
    MainWindow* mainWindow();
    AboutDialog* aboutDialog();
    find::FindWindow* findWindow();

    // The dictionary whose window is open, or nullptr.
    const data::DictionaryConfig* openDictionary();
    // Every dictionary whose window is loaded (one, at most, between commands).
    std::vector<const data::DictionaryConfig*> loadedDictionaries();
    // The Get Dictionaries window (getdictionaries/), non-modal.
    FormInstance& frmGetDictionaries();
    getdictionaries::GetDictionariesWindow* getDictionariesWindow();
    // Closes an added dictionary's window and lets go of its file (it is about to be deleted).
    void forgetDictionary(const data::DictionaryConfig& config);
    // When the file of the open dictionary `config` has been replaced under its name since its
    // window opened it (ReplacedFiles.h), opens the window again on the new file, with the same
    // search text and entry where the new file holds them, and returns true. Not while an
    // entry is being added or edited: the boxes hold the user's typing.
    bool reopenIfReplaced(const data::DictionaryConfig& config);
    // Shows entries across dictionaries and keeps their history (Back, Forward).
    Navigator& navigator();
    // The verses of references (hover and click) and the Scripture window, or nullptr.
    scripture::VerseLookups& verses();
    scripture::ScriptureWindow* scriptureWindow() const;
    // The Bible chosen for tooltips and the Scripture window (a module's name; empty: the
    // KJV, else the first), remembered between runs; set before the lookups are made too.
    QString chosenBible() const;
    void setChosenBible(const QString& name);

    // Runs whenever the main window closes, however it is closed (its close box, Alt+F4,
    // Exit and Ctrl+Q): closes the dictionary windows, then every window the program opened
    // for its own use (Find, Get Dictionaries, Scripture), so that the program ends with the
    // main window. The About
    // dialog is not one of them: it stays open, and the program ends when it closes too.
    void mainWindowClosing();

Q_SIGNALS:
    // The Scripture window was made, placed beside the main window, and is about to be shown.
    void scriptureWindowCreated(QWidget* window);

private:
    void connectScripture(dictwindow::DictionaryWindow& window);
    void placeBesideMainWindow(QWidget& window);
    void showEntryBesideFind(QWidget& find);
    struct Dictionary {
        std::unique_ptr<dictwindow::DictionaryWindow> window;
        std::unique_ptr<FormInstance> form;
    };
    Dictionary& dictionary(const data::DictionaryConfig& config);
    MainWindow& loadedMainWindow();
    void subWindowActivated(QMdiSubWindow* sub);
    void focusWindowChanged(QWindow* window);
    // The dictionary folder may have changed: the added dictionaries listed again when their
    // files came or went, and the open dictionary's file looked at (ReopenReplaced.cpp).
    void checkFolder();

    std::unique_ptr<FormInstance> m_frmMain;
    std::unique_ptr<FormInstance> m_dialog;
    std::unique_ptr<Navigator> m_navigator;
    std::unique_ptr<find::FindService> m_findService; // its thread outlives the Find window
    std::unique_ptr<FormInstance> m_frmFind;
    std::unique_ptr<FormInstance> m_frmGetDictionaries;
    std::map<QString, Dictionary> m_dictionaries; // by window name
    std::unique_ptr<scripture::VerseLookups> m_verses;
    QPointer<QWidget> m_scriptureWindow; // a ScriptureWindow
    QString m_bible;                     // for the lookups, until they are made
    ReplacedFiles* m_replacedFiles;      // a child
};

} // namespace tolvane::shell
