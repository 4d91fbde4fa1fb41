// The record editor: Add New, Edit, Save (add / edit), Cancel and Delete. Its buttons are
// created hidden, so only the program (or a test) can click them; each change goes straight
// to the file through the current recordset.

#include "dictwindow/DictionaryWindow.h"

#include "data/DataOperations.h"
#include "dictwindow/DictionaryTexts.h"
#include "engine/EngineError.h"
#include "platform/MessageBox.h"
#include "richtext/RichTextBox.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tolvane::dictwindow {

void DictionaryWindow::emptyBoxes() {
    m_controls.txtForename->setText(QString());
    m_controls.txtForename->setEnabled(false);
    m_controls.txtSurname->setPlainText(QString());
    m_controls.txtSurname->setEnabled(false);
    if (m_config.hasScripture())
        m_controls.rtb1->setTextRTF(QString());
}

// Every box must hold something; spaces count. The scripture box always gives a document,
// even when it shows nothing, so in practice only the two text boxes can fail the check.
bool DictionaryWindow::boxesHoldData() {
    bool filled = !m_controls.txtForename->text().isEmpty() &&
                  !m_controls.txtSurname->toPlainText().isEmpty();
    if (m_config.hasScripture())
        filled = filled && !m_controls.rtb1->TextRTF().isEmpty();
    if (!filled)
        message(texts::allFieldsMustContainData(), platform::Critical, texts::errorTitle());
    return filled;
}

// Add New and Edit: only Save and Cancel can be clicked until the change is stored or dropped.
void DictionaryWindow::showStoreButtons() {
    m_controls.cmdAdd->setEnabled(false);
    m_controls.cmdDelete->setEnabled(false);
    m_controls.cmdEdit->setEnabled(false);
    m_controls.cmdend->setEnabled(false);
    m_controls.cmdsave->setEnabled(true);
    m_controls.cmdcancel->setEnabled(true);
}

// After a store or Cancel: empty boxes and search text, the browsing buttons, browse mode,
// and the whole table listed again.
void DictionaryWindow::returnToBrowsing() {
    emptyBoxes();
    setSearchText(QString());
    m_controls.cmdsave->setEnabled(false);
    m_controls.cmdcancel->setEnabled(false);
    m_controls.cmdAdd->setEnabled(true);
    m_controls.cmdend->setEnabled(true);
    m_adding = false;
    m_editing = false;
    openTable();
    loadlist();
}

void DictionaryWindow::cmdAdd_Click() {
    m_controls.txtForename->setText(QString());
    m_controls.txtSurname->setPlainText(QString());
    if (m_config.hasScripture())
        m_controls.rtb1->setTextRTF(QString());
    m_controls.txtForename->setEnabled(true);
    m_controls.txtSurname->setEnabled(true);
    showStoreButtons();
    m_adding = true;
    m_editing = false;
}

void DictionaryWindow::cmdEdit_Click() {
    m_controls.txtForename->setEnabled(true);
    m_controls.txtSurname->setEnabled(true);
    showStoreButtons();
    m_editing = true;
    m_adding = false;
}

void DictionaryWindow::cmdsave_Click() {
    if (m_adding)
        add();
    else if (m_editing)
        edit();
}

QVariant DictionaryWindow::add() {
    return store(true);
}
QVariant DictionaryWindow::edit() {
    return store(false);
}

// Headword, definition, then (King James) the scripture box's markup, then one Update. A row
// the engine refuses is dropped from the recordset's pending change so that nothing
// half-written lingers in rs.
void DictionaryWindow::writeBoxesToCurrentRow(bool adding) {
    const QString headword = m_controls.txtForename->text();
    const QString definition = m_controls.txtSurname->toPlainText();
    const QString scripture = m_config.hasScripture() ? m_controls.rtb1->TextRTF() : QString();
    try {
        if (adding)
            data::addRow(rs, m_config, headword, definition, scripture);
        else
            data::changeRow(rs, m_config, headword, definition, scripture);
    } catch (const NumberedError& e) {
        if (e.number() != engine::err::NoCurrentRecord) {
            try {
                rs->CancelUpdate();
            } catch (const NumberedError&) {
                // Nothing was pending: the refusal came before AddNew or Edit took effect.
            }
        }
        throw;
    }
}

QVariant DictionaryWindow::store(bool adding) {
    if (!boxesHoldData())
        return {};
    // Adding goes into the table behind rs, whichever rows rs holds; editing changes the row of
    // the last list click, and the engine refuses when rs stands on none.
    writeBoxesToCurrentRow(adding);

    returnToBrowsing();
    return {};
}

void DictionaryWindow::cmdcancel_Click() {
    returnToBrowsing();
}

void DictionaryWindow::cmdDelete_Click() {
    if (message(texts::confirmDelete(), platform::YesNo, texts::deleteTitle()) !=
        platform::AnswerYes)
        return;
    data::deleteRow(rs); // the engine refuses when rs stands on no row: nothing changes
    openTable();
    loadlist();
    emptyBoxes();
    setSearchText(QString());
    m_controls.cmdsave->setEnabled(false);
    m_controls.cmdcancel->setEnabled(false);
    m_controls.cmdAdd->setEnabled(true);
}

} // namespace tolvane::dictwindow
