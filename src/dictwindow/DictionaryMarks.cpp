// Marks of a Find result on the entry it opened (EntryMarks.h), and stepping through them.

#include "dictwindow/DictionaryWindow.h"

#include "dictwindow/EntryMarks.h"
#include "richtext/RichTextBox.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace tolvane::dictwindow {

int DictionaryWindow::markMatches(const QString& match) {
    if (!hasControls())
        return 0;
    if (!m_marks) {
        // Child of the form: it goes with the controls whose boxes it marks.
        m_marks = new EntryMarks(m_controls.txtSurname, m_controls.rtb1, m_controls.form);
        connect(m_marks, &EntryMarks::changed, this, &DictionaryWindow::matchMarksChanged);
        connect(this, &DictionaryWindow::entryShown, m_marks, &EntryMarks::clear);
    }
    return m_marks->mark(match, m_controls.txtForename->text());
}

void DictionaryWindow::stepMatch(int steps) {
    if (m_marks)
        m_marks->step(steps);
}

EntryMarks* DictionaryWindow::entryMarks() const {
    return m_marks;
}

int DictionaryWindow::matchCount() const {
    return m_marks ? m_marks->count() : 0;
}

} // namespace tolvane::dictwindow
