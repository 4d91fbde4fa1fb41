// Showing an entry asked for from outside the list (Find, Back and Forward) and following a
// word of an entry to the headword it names.

#include "dictwindow/DictionaryWindow.h"

#include "data/DataOperations.h"
#include "data/Queries.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "platform/ErrorGuard.h"
#include "richtext/RichTextBox.h"

#include <QCursor>
#include <QEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QToolTip>
#include <algorithm>
#include <vector>

namespace tolvane::dictwindow {

namespace {

// The word under a double-click, without the punctuation around it ("PRIEST.)" -> "PRIEST").
// Letters, digits, and hyphens and apostrophes inside the word are kept.
QString wordAt(QTextCursor cursor) {
    cursor.select(QTextCursor::WordUnderCursor);
    QString word = cursor.selectedText();
    auto keep = [](QChar c) { return c.isLetterOrNumber() || c.isMark(); };
    qsizetype start = 0;
    qsizetype end = word.size();
    while (start < end && !keep(word[start]))
        ++start;
    while (end > start && !keep(word[end - 1]))
        --end;
    word = word.mid(start, end - start);
    for (QChar c : word)
        if (!keep(c) && c != u'-' && c != u'\'' && c != QChar(0x2019))
            return {};
    return word;
}

} // namespace

void DictionaryWindow::watchDoubleClicks() {
    m_controls.txtSurname->viewport()->installEventFilter(this);
    if (m_controls.rtb1)
        m_controls.rtb1->viewport()->installEventFilter(this);
}

bool DictionaryWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonDblClick || !hasControls())
        return QObject::eventFilter(watched, event);
    const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
    QString word;
    if (watched == m_controls.txtSurname->viewport())
        word = wordAt(m_controls.txtSurname->cursorForPosition(at));
    else if (m_controls.rtb1 && watched == m_controls.rtb1->viewport())
        word = wordAt(m_controls.rtb1->cursorForPosition(at));
    else
        return QObject::eventFilter(watched, event);
    platform::runGuarded([this, word] { followWord(word); });
    return true;
}

// Which of the list items holding exactly this headword item `index` is (0 for the first).
int DictionaryWindow::duplicateOrdinal(int index) const {
    return m_controls.lstdata->occurrenceAt(index);
}

bool DictionaryWindow::showHeadword(const QString& headword, int duplicate) {
    setSearchText(headword);
    return selectAndShow(headword, duplicate);
}

// With the list narrowed to the headword: selects the duplicate-th item holding exactly it and
// shows the duplicate-th row holding exactly it, in row order, as a click on that item does.
bool DictionaryWindow::selectAndShow(const QString& headword, int duplicate) {
    WordList* list = m_controls.lstdata;
    std::vector<int> items;
    for (int i = 0; i < list->ListCount(); ++i)
        if (list->List(i) == headword)
            items.push_back(i);
    if (items.empty())
        return false;
    duplicate = std::clamp(duplicate, 0, int(items.size()) - 1);
    auto found = db->OpenRecordset(data::headwordQuery(m_config, headword));
    const int rows = found->RecordCount();
    int seen = -1;
    if (rows > 0) {
        found->MoveFirst();
        for (int i = 0; i < rows; ++i, found->MoveNext())
            if (data::readText(found, m_config.headwordColumn) == headword && ++seen == duplicate)
                break;
    }
    if (seen != duplicate)
        return false; // the row went away behind the list
    rs = std::move(found);

    // Selecting from here reports no click: only the user's own selection does.
    const QModelIndex item = list->model()->index(items[size_t(duplicate)], 0);
    list->selectionModel()->setCurrentIndex(item, QItemSelectionModel::ClearAndSelect);
    list->scrollTo(item);
    showEntry();
    m_controls.cmdEdit->setEnabled(true);
    m_controls.cmdDelete->setEnabled(true);
    m_controls.txtSearch->setFocus();
    Q_EMIT entryShown(headword, duplicate);
    return true;
}

void DictionaryWindow::followWord(const QString& word) {
    if (word.isEmpty())
        return;
    // Asked first, on a set of its own, so that a word no headword begins with changes
    // nothing: no message, no shortening, the list and the entry stay.
    if (data::openPrefix(m_config, db, word)->RecordCount() == 0) {
        const QString note = QStringLiteral("No headword begins with \"%1\".").arg(word);
        QToolTip::showText(QCursor::pos(), note, m_controls.form);
        Q_EMIT wordNotFound(note);
        return;
    }
    setSearchText(word);
    // The headword as the list holds it: the word may differ from it in letter case.
    for (int i = 0; i < m_controls.lstdata->ListCount(); ++i)
        if (m_controls.lstdata->List(i).compare(word, Qt::CaseInsensitive) == 0) {
            selectAndShow(m_controls.lstdata->List(i), 0);
            return;
        }
}

} // namespace tolvane::dictwindow
