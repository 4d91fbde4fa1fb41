// The entry in view printed, saved as PDF or copied, and the open dictionary exported as CSV.
// The entry in view is the Scripture window's passage while that window is the active one,
// otherwise the entry the open dictionary window shows (one opened from Find included).

#include "shell/MainWindow.h"

#include "data/DictionaryCsv.h"
#include "dictwindow/DictionaryWindow.h"
#include "engine/Dao.h"
#include "platform/MessageBox.h"
#include "printing/EntryOutput.h"
#include "richtext/RichTextBox.h"
#include "scripture/ScriptureWindow.h"
#include "shell/Forms.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextBrowser>

namespace tolvane::shell {

namespace {

const QString kTitle = QStringLiteral("Tolvane");

printing::PrintableEntry entryInView(Forms& forms) {
    printing::PrintableEntry entry;
    if (scripture::ScriptureWindow* s = forms.scriptureWindow(); s && s->isActiveWindow()) {
        entry.dictionary = s->cboBible()->currentText();
        entry.headword = s->lblReference()->text();
        entry.text = s->txtPassage()->toPlainText();
        return entry;
    }
    const data::DictionaryConfig* open = forms.openDictionary();
    if (!open)
        return entry;
    const dictwindow::DictionaryWindow& window = forms.dictionaryWindow(*open);
    if (!window.hasControls())
        return entry;
    const auto& c = window.controls();
    entry.dictionary = open->menuCaption;
    entry.headword = c.txtForename->text().trimmed();
    entry.text = c.txtSurname->toPlainText();
    if (c.rtb1)
        entry.scripture = c.rtb1->toPlainText().trimmed();
    return entry;
}

// The file name an entry or a dictionary is offered under: its name without the characters
// file systems refuse.
QString suggestedFile(const QString& name, const QString& suffix) {
    QString base = name.trimmed();
    base.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral(" "));
    return QDir::home().filePath((base.isEmpty() ? QStringLiteral("entry") : base) + suffix);
}

bool refuseWithoutEntry(const printing::PrintableEntry& entry) {
    if (!entry.isEmpty())
        return false;
    platform::msgBox(QStringLiteral("There is no entry to use yet. Open a dictionary and choose "
                                    "a word, then try again."),
                     platform::OkOnly, kTitle);
    return true;
}

} // namespace

void MainWindow::mnuDictionariesPrint_Click() {
    const printing::PrintableEntry entry = entryInView(m_forms);
    if (refuseWithoutEntry(entry))
        return;
    printing::printEntry(entry, QApplication::activeWindow() ? QApplication::activeWindow() : this);
}

void MainWindow::mnuDictionariesPdf_Click() {
    const printing::PrintableEntry entry = entryInView(m_forms);
    if (refuseWithoutEntry(entry))
        return;
    const QString path = printing::chooseSaveFile(
        this, QStringLiteral("Save Entry as PDF"),
        suggestedFile(entry.headword, QStringLiteral(".pdf")), QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty())
        return;
    if (const QString error = printing::writeEntryPdf(entry, path); !error.isEmpty())
        platform::msgBox(error, platform::Critical, kTitle);
}

void MainWindow::mnuDictionariesCopy_Click() {
    const printing::PrintableEntry entry = entryInView(m_forms);
    if (refuseWithoutEntry(entry))
        return;
    printing::copyEntry(entry);
}

void MainWindow::mnuDictionariesExport_Click() {
    const data::DictionaryConfig* open = m_forms.openDictionary();
    const dictwindow::DictionaryWindow* window = open ? &m_forms.dictionaryWindow(*open) : nullptr;
    if (!window || !window->db) {
        platform::msgBox(QStringLiteral("Open the dictionary to export from the Dictionaries "
                                        "menu first, then try again."),
                         platform::OkOnly, kTitle);
        return;
    }
    const QString path =
        printing::chooseSaveFile(this, QStringLiteral("Export Dictionary as CSV"),
                                 suggestedFile(open->menuCaption, QStringLiteral(".csv")),
                                 QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    const data::CsvExportResult result = data::exportDictionaryCsv(window->db->Name(), *open, path);
    if (!result.error.isEmpty()) {
        platform::msgBox(result.error, platform::Critical, kTitle);
        return;
    }
    platform::msgBox(QStringLiteral("%1 entries of %2 were written to %3.")
                         .arg(result.rows)
                         .arg(open->menuCaption, QDir::toNativeSeparators(path)),
                     platform::OkOnly, kTitle);
}

} // namespace tolvane::shell
