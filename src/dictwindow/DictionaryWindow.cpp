// The dictionary window's lifetime, opening, the word list fill and the End button. The
// search and lookup handlers are in DictionaryLookup.cpp, the editor in DictionaryEditor.cpp.

#include "dictwindow/DictionaryWindow.h"

#include "data/DataOperations.h"
#include "data/FileProblems.h"
#include "dictwindow/DictionaryTexts.h"
#include "dictwindow/ListProgress.h"
#include "dictwindow/LockRetry.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "engine/EngineError.h"
#include "platform/AppFolder.h"
#include "platform/ErrorGuard.h"
#include "platform/MessageBox.h"
#include "platform/ProgramEnd.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QWidget>
#include <utility>

namespace tolvane::dictwindow {

DictionaryWindow::DictionaryWindow(const data::DictionaryConfig& config, QObject* parent)
    : QObject(parent), m_config(config) {}

DictionaryWindow::~DictionaryWindow() = default;

QWidget* DictionaryWindow::createControls(QWidget* parent) {
    m_controls = buildDictionaryLayout(m_config, parent);
    m_listProgress = new ListProgress(m_controls.lstdata,
                                      [this] { return db ? db->listPreparingPercent() : -1; });
    connectHandlers();
    connectZoom();
    return m_controls.form;
}

void DictionaryWindow::controlsDestroyed() {
    m_controls = DictionaryControls{};
    m_definitionLinks = m_scriptureLinks = nullptr;
    m_listProgress = nullptr;
}

void DictionaryWindow::connectHandlers() {
    auto guarded = [this](void (DictionaryWindow::*handler)()) {
        return [this, handler] { platform::runGuarded([this, handler] { (this->*handler)(); }); };
    };
    const DictionaryControls& c = m_controls;

    // Whoever destroys the form, the window must not keep dangling control pointers.
    connect(c.form, &QObject::destroyed, this, [this] { controlsDestroyed(); });

    // The program's own assignments run the change handler themselves (setSearchText), so
    // the box's notification is only followed for the user's edits.
    if (!m_searchEdits)
        m_searchEdits = new LockRetry([this] { return db; }, [this] { txtSearch_Change(); }, this);
    connect(c.txtSearch, &QLineEdit::textChanged, this, [this] {
        if (!m_assigningSearchText)
            platform::runGuarded([this] { m_searchEdits->run(); });
    });
    connect(c.lstdata, &WordList::clicked, this, guarded(&DictionaryWindow::lstdata_Click));
    connect(c.txtSearch, &SearchBox::listKey, this,
            [this](int key) { platform::runGuarded([this, key] { browseList(key); }); });
    connect(c.Command1, &QPushButton::clicked, this, guarded(&DictionaryWindow::Command1_Click));
    connect(c.cmdAdd, &QPushButton::clicked, this, guarded(&DictionaryWindow::cmdAdd_Click));
    connect(c.cmdEdit, &QPushButton::clicked, this, guarded(&DictionaryWindow::cmdEdit_Click));
    connect(c.cmdsave, &QPushButton::clicked, this, guarded(&DictionaryWindow::cmdsave_Click));
    connect(c.cmdcancel, &QPushButton::clicked, this, guarded(&DictionaryWindow::cmdcancel_Click));
    connect(c.cmdDelete, &QPushButton::clicked, this, guarded(&DictionaryWindow::cmdDelete_Click));
    connect(c.cmdend, &QPushButton::clicked, this, guarded(&DictionaryWindow::cmdend_Click));
    watchDoubleClicks();
    attachLinks();
}

DictionaryWindow::Mode DictionaryWindow::mode() const {
    if (m_adding)
        return Mode::Adding;
    if (m_editing)
        return Mode::Editing;
    return Mode::Browse;
}

int DictionaryWindow::message(const QString& text, int style, const QString& title) {
    m_answer = platform::msgBox(text, style, title);
    return m_answer;
}

QString DictionaryWindow::searchText() const {
    return m_controls.txtSearch->text();
}

// Assigning the search box's text behaves like the user's edit: a different text runs the
// change handler, with its query, list fill and messages, before this returns; the same text
// runs nothing. The handler is called here rather than from inside the box's notification so
// that a failure in it unwinds through our own frames only, never through the widget's, and
// stops the handler that made the assignment.
void DictionaryWindow::setSearchText(const QString& text) {
    if (searchText() == text)
        return;
    m_assigningSearchText = true;
    m_controls.txtSearch->setText(text);
    m_assigningSearchText = false;
    txtSearch_Change();
}

// The whole table, to list it again (an emptied search box, the editor's operations). The
// list and the set it replaces are dropped first, so that two whole lists are never held at
// once; the fill that follows shows the new one. Should the new set fail to open, rs stays
// closed and says so when used.
void DictionaryWindow::openTable() {
    m_controls.lstdata->dropItems();
    if (rs)
        rs->Close();
    openWholeListing(db);
}

// rs over the whole table, and where the file allows it the headwords a page at a time, which
// the list fill takes (the set itself is then opened only if it is used).
void DictionaryWindow::openWholeListing(const std::shared_ptr<engine::Database>& from) {
    m_pages.reset();
    data::WholeListing whole = data::openWholeListing(m_config, from);
    rs = std::move(whole.rs);
    m_pages = std::move(whole.pages);
}

// Opens the file and lists the whole table, or (loadNarrowedTo) the headwords beginning with
// one headword, as if it had been typed into the search box.
void DictionaryWindow::Form_Load() {
    const QString path = data::dictionaryPath(m_config, platform::applicationFolder());
    const QString narrowedTo = std::exchange(m_loadNarrowedTo, QString());
    data::OpenedDictionary opened;
    try {
        opened = data::openDictionary(m_config);
        if (narrowedTo.isEmpty()) {
            openWholeListing(opened.db);
        } else {
            m_pages.reset();
            rs = data::openListing(m_config, opened.db, narrowedTo);
        }
    } catch (const NumberedError& e) {
        // A file that opens but lacks the table (some other database) must not stay open
        // behind a window that never opened.
        if (opened.db)
            data::closeDictionary(opened.db);
        throw data::openingFailure(m_config, path, e); // what is wrong, what to do
    }
    ws = std::move(opened.ws);
    db = std::move(opened.db);
    if (!narrowedTo.isEmpty()) {
        m_assigningSearchText = true;
        m_controls.txtSearch->setText(narrowedTo);
        m_assigningSearchText = false;
    }
    loadlist();
}

// loadlist, with its "No Records Found" handling.
//
// A search that finds nothing shows the message and drops the last character of the search
// text; the change this makes opens the search for the shorter text, and so on until a
// search finds rows or the box is empty. Each failing length gets its own message, in order
// from the longest. Read naively this recurses once per character (change handler -> list
// fill -> change handler ...) and fills the list once per level with the same final rows;
// a pasted text of many thousand characters would then overflow the stack. Here the nested
// fills are deferred: while the loop below shortens the text, the change handler still runs
// for every shorter text and opens its recordset, but the list fill it calls returns at once
// and the loop looks at the new recordset itself. The messages, their order, the final text,
// the final recordset and the final list are the same; only the repeated identical fills
// are gone.
//
// The box itself shows each shorter text as it is searched, except while the text is longer
// than anyone could read in it: laying out a long text again for every character removed
// would make a pasted page take minutes. Such lengths are passed over by skipLongFailures,
// and the box takes the text once it is short enough to be shown.
void DictionaryWindow::loadlist() {
    if (m_deferListing)
        return;
    if (m_pages && m_pages->hasRows()) {
        fillList(); // the whole table, which is not empty
        return;
    }
    m_pages.reset();

    QString text = searchText();
    while (rs->RecordCount() == 0) {
        message(texts::noRecordsFound(), platform::OkOnly, texts::errorTitle());
        if (text.isEmpty()) {
            // Only the whole table can be empty with an empty search box: show it as empty
            // rather than keep headwords that are no longer in the table.
            m_controls.lstdata->Clear();
            return;
        }
        text.chop(1);
        if (text.size() > kLongestShownWhileShortening && skipLongFailures(text))
            continue;
        setSearchTextDeferringList(text);
        text = searchText();
    }
    if (text != searchText())
        setSearchTextDeferringList(text); // a long text that finds rows, not shown so far
    fillList();
}

// Sets the search text for the shortening loop: the change handler runs and opens the
// search, and the loop lists it.
void DictionaryWindow::setSearchTextDeferringList(const QString& text) {
    m_deferListing = true;
    try {
        setSearchText(text);
    } catch (...) {
        m_deferListing = false;
        throw;
    }
    m_deferListing = false;
}

// For a text too long to show, finds the next length to show, with one message for each
// length passed over that finds nothing. A plain text (no pattern characters) that begins no
// headword has no longer text that does, so the longest length that finds rows is found by
// halving, without a search for every length. A text with pattern characters is searched at
// every length. Returns whether `text` was shortened further and rs holds its empty search
// (the caller goes on with the next message); otherwise `text` is the length to set next.
bool DictionaryWindow::skipLongFailures(QString& text) {
    static const QRegularExpression patternCharacters(QStringLiteral("[*?#\\[\\]]"));
    if (text.contains(patternCharacters)) {
        rs = data::openListing(m_config, db, text); // what the change handler opens for it
        return true;
    }
    // Lengths above `found` are known to fail down to `failing`; search the ones between.
    qsizetype found = kLongestShownWhileShortening;
    qsizetype failing = text.size() + 1;
    while (failing - found > 1) {
        const qsizetype middle = found + (failing - found) / 2;
        if (data::openSearch(m_config, db, text.left(middle))->RecordCount() > 0)
            found = middle;
        else
            failing = middle;
    }
    for (qsizetype length = text.size(); length > found; --length)
        message(texts::noRecordsFound(), platform::OkOnly, texts::errorTitle());
    text.truncate(found);
    return false;
}

// Lists every row of rs in one batch; rs ends up after its last row. A row without a
// headword has nothing to show and is left out. rs comes in list order (data::openListing), so
// its headwords are handed to the list as they are, in one block, without a sort and without
// a string per row.
//
// rs has just been opened (every caller opens it right before): it stands on its first row,
// its count is exact, and its rows and headwords were read under one lock, which is also where
// other programs' commits were looked for. A MoveLast and MoveFirst here would only take the
// file's lock twice more.
//
// The whole table, where the file gives it a page at a time (m_pages), is listed from the pages
// instead: the first screen at once, the rest between the user's input (WordList::fillInPages).
void DictionaryWindow::fillList() {
    if (m_pages) {
        m_controls.lstdata->fillInPages(std::move(m_pages));
        m_listProgress->watch(); // an older file's list may still be in the making
        return;
    }
    const int column = rs->columnIndex(m_config.headwordColumn);
    if (column < 0)
        throw engine::EngineError(engine::err::ItemNotFound,
                                  QStringLiteral("Item not found in this collection: column '%1' "
                                                 "of table '%2'.")
                                      .arg(m_config.headwordColumn, m_config.table));

    // Every row from the first to the last, RecordCount() of them.
    m_controls.lstdata->setOrderedItems(rs->takeRemainingText(column));
}

void DictionaryWindow::Form_Activate() {
    SearchBox* box = m_controls.txtSearch;
    const int start = box->hasSelectedText() ? box->selectionStart() : box->cursorPosition();
    box->setSelection(start, box->text().length() - start);
    box->setFocus();
}

void DictionaryWindow::cmdend_Click() {
    if (db)
        data::closeDictionary(db);
    platform::programEnder().endProgram();
}

} // namespace tolvane::dictwindow
