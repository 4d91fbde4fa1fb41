// Looking words up: the search box narrows the list, a click on a headword shows its entry,
// Get New Word starts over with the whole list.

#include "dictwindow/DictionaryWindow.h"

#include "data/DataOperations.h"
#include "data/Queries.h"
#include "dictwindow/DictionaryTexts.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "platform/MessageBox.h"
#include "richtext/RichTextBox.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tolvane::dictwindow {

void DictionaryWindow::txtSearch_Change() {
    const QString text = searchText();
    rs = data::openListing(m_config, db, text);
    loadlist();
}

void DictionaryWindow::lstdata_Click() {
    const int index = m_controls.lstdata->ListIndex();
    if (index < 0)
        return;
    const QString item = m_controls.lstdata->List(index);
    rs = db->OpenRecordset(data::headwordQuery(m_config, item));
    if (rs->RecordCount() > 0) {
        rs->MoveFirst();
    } else if (!standOnExactHeadword(item)) {
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

// The lookup by headword drops the spaces around the list item, so a headword stored with
// spaces around it is found only by its exact text: among the rows that begin with it, stand
// on the first whose headword equals it (ignoring letter case, as the engine's equality does).
bool DictionaryWindow::standOnExactHeadword(const QString& item) {
    if (data::trimSpaces(item) == item)
        return false;
    rs = data::openPrefix(m_config, db, item);
    const int n = rs->RecordCount();
    if (n == 0)
        return false;
    rs->MoveFirst();
    for (int i = 0; i < n; ++i, rs->MoveNext()) {
        if (data::readText(rs, m_config.headwordColumn).compare(item, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false; // rs stands after its last row, on no row
}

// Shows the current row of rs: definition, headword, then (King James) the scripture text,
// whose proper-name marker "=" is shown as words. The row itself keeps the marker.
void DictionaryWindow::showEntry() {
    m_controls.txtSurname->setPlainText(data::readText(rs, m_config.definitionColumn));
    m_controls.txtForename->setText(data::readText(rs, m_config.headwordColumn));
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
void DictionaryWindow::Command1_Click() {
    setSearchText(texts::getNewWordSeed());
    setSearchText(QString());
    m_controls.txtSearch->setFocus();
    m_controls.txtForename->setText(QString());
    m_controls.txtSurname->setPlainText(QString());
    if (m_config.hasScripture())
        m_controls.rtb1->setTextRTF(QString());
}

} // namespace tolvane::dictwindow
