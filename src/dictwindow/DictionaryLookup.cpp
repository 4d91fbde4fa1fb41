// Looking words up: the search box narrows the list, a click on a headword shows its entry,
// Get New Word starts over with the whole list.

#include "dictwindow/DictionaryWindow.h"

#include "data/DataOperations.h"
#include "data/NumberedKeys.h"
#include "data/Queries.h"
#include "dictwindow/DictionaryTexts.h"
#include "dictwindow/LockRetry.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "platform/ErrorGuard.h"
#include "platform/MessageBox.h"
#include "richtext/RichTextBox.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

namespace tolvane::dictwindow {

void DictionaryWindow::txtSearch_Change() {
    if (m_searchEdits)
        m_searchEdits->cancel(); // the text as it is now is listed here
    // In a dictionary keyed by number (Strong's), "G11" and "11" look up "00011".
    const QString text = data::numberedKey(m_config, searchText());
    if (text.isEmpty()) {
        openTable();
    } else {
        m_pages.reset();
        rs = data::openListing(m_config, db, text);
    }
    loadlist();
}

void DictionaryWindow::lstdata_Click() {
    const int index = m_controls.lstdata->ListIndex();
    if (index < 0)
        return;
    const QString item = m_controls.lstdata->List(index);
    if (!standOnListedRow(item, m_controls.lstdata->occurrenceAt(index))) {
        // The row went away behind the list: say so and keep the entry that is shown.
        message(texts::noRecordsFound(), platform::OkOnly, texts::errorTitle());
        return;
    }
    showEntry();

    m_controls.cmdEdit->setEnabled(true);
    m_controls.cmdDelete->setEnabled(true);
    m_controls.txtSearch->setFocus();
    Q_EMIT entryShown(data::trimSpaces(item), duplicateOrdinal(index));
}

void DictionaryWindow::browseList(int key) {
    WordList* list = m_controls.lstdata;
    const int count = list->ListCount();
    if (count == 0)
        return;
    const int current = list->ListIndex();
    const int rowHeight = std::max(1, list->sizeHintForRow(0));
    const int page = std::max(1, list->viewport()->height() / rowHeight - 1);
    int target = current;
    switch (key) {
    case Qt::Key_Down:
        target = current + 1;
        break;
    case Qt::Key_Up:
        target = current < 0 ? 0 : current - 1;
        break;
    case Qt::Key_PageDown:
        target = current < 0 ? page : current + page;
        break;
    case Qt::Key_PageUp:
        target = current - page;
        break;
    default: // Enter
        target = current < 0 ? 0 : current;
        break;
    }
    target = std::clamp(target, 0, count - 1);
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (target == current && !enter)
        return; // already at the end the key moves to
    list->selectItem(target);
    lstdata_Click();
}

bool DictionaryWindow::chooseListItem(const QString& headword, int occurrence) {
    const int index = m_controls.lstdata->indexOf(headword, occurrence);
    if (index < 0)
        return false;
    m_controls.lstdata->selectItem(index);
    platform::runGuarded([this] { lstdata_Click(); });
    return true;
}

// The list shows one item per row, so a headword held by several rows is listed several
// times; the k-th of those items stands for the k-th of those rows. Both go by row id: the
// list keeps equal headwords in the order the rows come (whole table and prefix lists alike),
// and the headword query gives them in the same order. The query may also return headwords
// that differ in letter case only; they are other items of the list and are stepped over.
//
// The headword query drops the spaces around the list item, so a headword stored with spaces
// around it is found only among the rows that begin with it. A list item that no row holds
// any more (the list is older than the table) shows the query's first row when it has one.
bool DictionaryWindow::standOnListedRow(const QString& item, int occurrence) {
    rs = db->OpenRecordset(data::headwordQuery(m_config, item));
    const bool found = rs->RecordCount() > 0;
    if (found && stepToOccurrence(item, occurrence))
        return true;
    if (data::trimSpaces(item) != item) {
        auto byHeadword = rs;
        rs = data::openPrefix(m_config, db, item);
        if (stepToOccurrence(item, occurrence))
            return true;
        rs = std::move(byHeadword);
    }
    if (!found)
        return false;
    rs->MoveFirst();
    return true;
}

// Moves rs to the occurrence-th of its rows whose headword is exactly `item`; false when it
// holds fewer (rs then stands after its last row).
bool DictionaryWindow::stepToOccurrence(const QString& item, int occurrence) {
    const int n = rs->RecordCount();
    if (n == 0)
        return false;
    rs->MoveFirst();
    for (int i = 0; i < n; ++i, rs->MoveNext()) {
        if (data::readText(rs, m_config.headwordColumn) == item && occurrence-- == 0)
            return true;
    }
    return false;
}

// Shows the current row of rs: definition, headword, then (King James) the scripture text,
// whose proper-name marker "=" is shown as words. The row itself keeps the marker. The links
// learn the headword first: they are found as each text is set.
void DictionaryWindow::showEntry() {
    const QString headword = data::readText(rs, m_config.headwordColumn);
    setLinksHeadword(headword);
    const QString definition = data::readText(rs, m_config.definitionColumn);
    m_definitionLinks->expectText(definition);
    m_controls.txtSurname->setPlainText(definition);
    m_controls.txtForename->setText(headword);
    if (m_config.hasScripture()) {
        richtext::RichTextBox* box = m_controls.rtb1;
        box->setTextRTF(data::readText(rs, m_config.scriptureColumn));
        if (box->Text() == texts::properNameMarker())
            box->setText(texts::properName());
    }
}

// Get New Word. Passing through "a" first is what the window has always done; it shows the
// headwords beginning with a for a moment (or "No Records Found" where there are none) before
// the empty text brings back the whole table.
// The box is given a first text ("a") and then emptied, so that the whole list is shown
// afresh. The first text's own list would be replaced at once: only whether it finds anything
// is asked (when it finds nothing the user is told, as for any search), and its rows are never
// read.
void DictionaryWindow::Command1_Click() {
    const QString first = texts::getNewWordSeed();
    if (searchText() != first && // the same text again is no change: no search
        !data::hasListing(m_config, db, data::numberedKey(m_config, first)))
        message(texts::noRecordsFound(), platform::OkOnly, texts::errorTitle());
    setSearchTextDeferringList(QString());
    txtSearch_Change(); // the whole table, even when the box was empty already
    m_controls.txtSearch->setFocus();
    m_controls.txtForename->setText(QString());
    m_controls.txtSurname->setPlainText(QString());
    if (m_config.hasScripture())
        m_controls.rtb1->setTextRTF(QString());
}

} // namespace tolvane::dictwindow
