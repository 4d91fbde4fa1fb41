#pragma once
// frmMain: the main window. Its client area hosts one dictionary window at a time; its menu
// bar opens the dictionaries, the About dialog and the maker's web page.

#include <QMainWindow>
#include <QPointer>
#include <QSize>
#include <vector>

class QAction;
class QKeySequence;
class QMenu;

namespace tolvane::data {
struct DictionaryConfig;
}

namespace tolvane::moredictionaries {
class MoreDictionariesWindow;
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
    // Past the added dictionaries the menu lists: all of them, in a window with a filter.
    void mnuDictionariesMore_Click();
    void mnuAbout_Click();
    void mnuWebsiteMore_Click();
    void mnuFindEntries_Click();
    void mnuFindBack_Click();
    void mnuFindForward_Click();
    void mnuFindNextMatch_Click();
    void mnuFindPreviousMatch_Click();
    void mnuViewZoomIn_Click();
    void mnuViewZoomOut_Click();
    void mnuViewZoomNormal_Click();
    void mnuDictionariesExit_Click();
    // The entry in view (EntryCommands.cpp): printed, saved as PDF, copied; and the open
    // dictionary exported as CSV.
    void mnuDictionariesPrint_Click();
    void mnuDictionariesPdf_Click();
    void mnuDictionariesCopy_Click();
    void mnuDictionariesExport_Click();

    // Enables each command that can act now, and only those (Back and Forward, the zoom,
    // stepping through a Find result's marks).
    void updateCommands();

    // The Dictionaries command that opens this dictionary, as if its menu item was chosen.
    void runDictionaryCommand(const data::DictionaryConfig& config);

    // Reads the dictionary folder again and lists its added dictionaries, by title, between
    // the separator and "Get Dictionaries..." (AddedDictionaries.h, DictionaryMenu.h).
    void refreshDictionaryMenu();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyOuterSize();
    // The client area's growth over the default size, handed to the dictionary windows.
    void updateGrowth();
    void createMenus();
    QMenu* addMenu(const char* name, const QString& caption);
    QAction* menuItem(QMenu* menu, const char* name, const QString& caption,
                      void (MainWindow::*handler)());
    // Gives the item its shortcut, working wherever the program has the keyboard.
    static QAction* shortcut(QAction* action, const QKeySequence& keys);
    void zoomEntry(int steps);
    // Shows `shown`, then unloads `closedAfterwards` and any other open added dictionary.
    void openDictionary(const data::DictionaryConfig& shown,
                        const std::vector<const data::DictionaryConfig*>& closedAfterwards);
    void refuseUnusable(const data::DictionaryConfig& config);

    Forms& m_forms;
    Workspace* m_workspace;
    QMenu* m_dictionaries = nullptr;
    QAction* m_addedFrom = nullptr;       // the separator above the added dictionaries
    QAction* m_getDictionaries = nullptr; // "Get Dictionaries...", below the added ones
    QPointer<moredictionaries::MoreDictionariesWindow> m_moreDictionaries;
    QSize m_outerSize; // set by setHeight/setWidth, frame included
    QSize m_frameUsed; // the frame's share when it was applied
    QSize m_sizeSet;   // the inner size that gave it
    QAction* m_back = nullptr;
    QAction* m_forward = nullptr;
    QAction* m_nextMatch = nullptr;
    QAction* m_previousMatch = nullptr;
    QAction* m_zoomIn = nullptr;
    QAction* m_zoomOut = nullptr;
    QAction* m_zoomNormal = nullptr;
};

} // namespace tolvane::shell
