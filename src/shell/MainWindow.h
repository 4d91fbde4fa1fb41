#pragma once
// frmMain: the main window. Its client area hosts one dictionary window at a time; its menu
// bar opens the dictionaries, the About dialog and the maker's web page.

#include <QMainWindow>
#include <QSize>
#include <vector>

class QAction;
class QMenu;

namespace tolvane::data {
struct DictionaryConfig;
}

namespace tolvane::shell {

class Forms;
class Workspace;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Forms& forms, QWidget* parent = nullptr);

    Workspace* workspace() const { return m_workspace; }

    // Outer size in twips, window frame included as far as the platform has one.
    void setHeight(int twips);
    void setWidth(int twips);

    // Handlers.
    void MDIForm_Load();
    void mnuDictionariesKJV_Click();
    void mnuDictioanariesHitchcock_Click();
    void mnuDictionariesEastons_Click();
    void mnuDictionariesGet_Click();
    void mnuAbout_Click();
    void mnuWebsiteMore_Click();
    void mnuFindEntries_Click();
    void mnuFindBack_Click();
    void mnuFindForward_Click();

    // The Dictionaries command that opens this dictionary, as if its menu item was chosen.
    void runDictionaryCommand(const data::DictionaryConfig& config);

    // Reads the dictionary folder again and lists its added dictionaries, by title, between
    // the separator and "Get Dictionaries..." (AddedDictionaries.h).
    void refreshDictionaryMenu();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyOuterSize();
    // The client area's growth over the default size, handed to the dictionary windows.
    void updateGrowth();
    // F10, and Alt pressed and released alone, move into the menu bar.
    void enableMenuBarKeys();
    void createMenus();
    QAction* menuItem(QMenu* menu, const char* name, const QString& caption,
                      void (MainWindow::*handler)());
    // Shows `shown`, then unloads `closedAfterwards` and any other open added dictionary.
    void openDictionary(const data::DictionaryConfig& shown,
                        const std::vector<const data::DictionaryConfig*>& closedAfterwards);

    Forms& m_forms;
    Workspace* m_workspace;
    QMenu* m_dictionaries = nullptr;
    QAction* m_addedFrom = nullptr; // the separator above the added dictionaries
    QSize m_outerSize; // set by setHeight/setWidth, frame included
    QSize m_frameUsed; // the frame's share when it was applied
    QSize m_sizeSet;   // the inner size that gave it
};

} // namespace tolvane::shell
