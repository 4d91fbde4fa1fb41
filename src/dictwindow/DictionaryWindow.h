#pragma once
// One dictionary window kind (Form1, frmEastons, frmHitchcock): the program-wide instance of
// the window with its window-level variables (ws, db, rs, the window mode and the message
// answer), which outlive the window's controls. The controls are created afresh by
// createControls() each time the window loads and destroyed when it unloads.
//
// Every handler runs through the platform's handler guard.

#include "data/DictionaryConfig.h"
#include "dictwindow/DictionaryLayout.h"
#include "dictwindow/EntryLinks.h"
#include "engine/Dao.h"
#include "references/ScriptureReference.h"

#include <QObject>
#include <QPointer>
#include <QVariant>
#include <functional>
#include <memory>

namespace tolvane::dictwindow {

class EntryMarks;
class ListProgress;

class LockRetry;

class DictionaryWindow : public QObject {
    Q_OBJECT
public:
    explicit DictionaryWindow(const data::DictionaryConfig& config, QObject* parent = nullptr);
    ~DictionaryWindow() override;

    const data::DictionaryConfig& config() const { return m_config; }

    // Window lifetime, called by the shell's window mechanism.
    QWidget*
    createControls(QWidget* parent = nullptr); // builds the controls in their initial state
    void controlsDestroyed();                  // the controls are gone (unloaded)
    bool hasControls() const { return m_controls.form != nullptr; }
    const DictionaryControls& controls() const { return m_controls; }

    // Window events.
    void Form_Load();
    void Form_Activate();

    // Control events.
    void txtSearch_Change();
    void lstdata_Click();
    void Command1_Click();
    void cmdAdd_Click();
    void cmdEdit_Click();
    void cmdsave_Click();
    void cmdcancel_Click();
    void cmdDelete_Click();
    void cmdend_Click();

    // Browsing the list from the search box: Up and Down move the list's selection by one,
    // Page Up and Page Down by a page, Enter takes the selected item (the first when none is
    // selected). Each move shows the entry as a click would (lstdata_Click, which returns
    // the focus to the search box).
    void browseList(int key);

    // Zoom of the entry boxes, both together: steps > 0 larger, < 0 smaller, 0 back to the
    // designed size. Kept for the next start.
    void zoomEntry(int steps);
    int entryZoomPercent() const { return m_zoomPercent; }

    // Selects the occurrence-th (from 0) of the list items that hold exactly `headword` and
    // shows its entry as a click on it would (lstdata_Click, guarded). Among equal headwords
    // the list and the rows go by row id, so the k-th item is the k-th such row. False, and
    // nothing changes, when the list holds fewer such items.
    bool chooseListItem(const QString& headword, int occurrence = 0);

    // Public operations: store the boxes as a new row / into the current row.
    QVariant add();
    QVariant edit();

    // Shows an entry found elsewhere (Find, Back and Forward): the search box takes the
    // headword and the list narrows to it, the `duplicate`-th list item holding exactly that
    // headword is selected, and the boxes show the `duplicate`-th row holding it, in row
    // order. False when the headword is not (or no longer) in the table.
    bool showHeadword(const QString& headword, int duplicate);
    // Makes the next Form_Load list only the headwords beginning with `headword` instead of
    // the whole table, for a window opened to show that entry (showHeadword follows): the list
    // is never built whole only to be narrowed. An empty text, or the load, clears it.
    void loadNarrowedTo(const QString& headword) { m_loadNarrowedTo = headword; }
    // A double-click on a word of the definition or scripture box looks it up in this
    // dictionary: when a headword begins with it, the search box takes the word (the list
    // narrows) and a headword equal to it shows its entry; when none does, nothing changes
    // and wordNotFound says so. No message box, no shortening of the search text.
    void followWord(const QString& word);

    // Marks every place `match` (the Find window's full-text query) finds in the entry
    // shown, with the first in sight (EntryMarks.h); returns how many. stepMatch makes the
    // next (steps > 0) or previous one current. Another entry or an edit removes them.
    int markMatches(const QString& match);
    void stepMatch(int steps);
    int matchCount() const;
    EntryMarks* entryMarks() const;
    // The links drawn in the definition box and (King James) the scripture box; nullptr
    // without controls. A click on a pointer to another entry shows it as choosing it from
    // the list does; a click on a reference is passed on (scriptureClicked).
    EntryLinks* definitionLinks() const { return m_definitionLinks; }
    EntryLinks* scriptureLinks() const { return m_scriptureLinks; }
    // The bar over the word list while an older file's list is made (ListProgress.h).
    ListProgress* listProgress() const { return m_listProgress; }
    // Asks for the tooltip of a reference in either box (EntryLinks::setVerseTip).
    void setVerseTip(EntryLinks::VerseTip tip);

Q_SIGNALS:
    // An entry is shown (list click or keyboard, showHeadword, followWord).
    void entryShown(const QString& headword, int duplicate);
    void wordNotFound(const QString& note);
    // Matches were marked, or the marks changed or went.
    void matchMarksChanged();
    void scriptureClicked(const references::VerseRange& range);

public:
    // Window-level variables, readable by tests.
    std::shared_ptr<engine::Workspace> ws;
    std::shared_ptr<engine::Database> db;
    std::shared_ptr<engine::Recordset> rs;

    enum class Mode { Browse, Adding, Editing };
    Mode mode() const;
    int messageAnswer() const { return m_answer; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadlist();
    void watchDoubleClicks();
    void attachLinks();
    void setLinksHeadword(const QString& headword);
    QString headwordNamed(const QString& name);
    bool selectAndShow(const QString& headword, int duplicate);
    int duplicateOrdinal(int index) const;
    void connectZoom();
    void showEntryZoom(int percent);

    // Helpers shared by the handlers (see the .cpp files for why each exists).
    void connectHandlers();
    void setSearchText(const QString& text);
    QString searchText() const;
    void openTable();
    void openWholeListing(const std::shared_ptr<engine::Database>& from);
    void fillList();
    bool skipLongFailures(QString& text);
    void setSearchTextDeferringList(const QString& text);
    static constexpr qsizetype kLongestShownWhileShortening = 1000;
    void showEntry();
    void emptyBoxes();
    void showStoreButtons();
    void returnToBrowsing();
    bool boxesHoldData();
    QVariant store(bool adding);
    void writeBoxesToCurrentRow(bool adding);
    bool standOnListedRow(const QString& item, int occurrence);
    bool stepToOccurrence(const QString& item, int occurrence);
    int message(const QString& text, int style, const QString& title);

    const data::DictionaryConfig& m_config;
    DictionaryControls m_controls;
    bool m_adding = false;
    bool m_editing = false;
    int m_answer = 0;
    int m_zoomPercent = 100;
    QPointer<EntryMarks> m_marks;            // made with the first marks, gone with the controls
    EntryLinks* m_definitionLinks = nullptr; // children of the boxes
    EntryLinks* m_scriptureLinks = nullptr;
    ListProgress* m_listProgress = nullptr; // a child of the word list
    EntryLinks::VerseTip m_verseTip;
    // Set while loadlist shortens the search text: the change handler it sets off opens the
    // recordset for the shorter text, and the shortening loop lists it once at the end.
    bool m_deferListing = false;
    // Set while the program itself assigns the search text, so that the change notification
    // of the box does not run the change handler a second time.
    bool m_assigningSearchText = false;
    // The whole table's headwords a page at a time, from openTable to the list fill that takes
    // them; null where the file cannot give them so (rs is listed whole then).
    std::unique_ptr<engine::ListPages> m_pages;
    QString m_loadNarrowedTo;
    // The user's edits of the search text, run without waiting for a locked file.
    LockRetry* m_searchEdits = nullptr;
};

} // namespace tolvane::dictwindow
