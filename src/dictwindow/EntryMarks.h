#pragma once
// The marks a Find result leaves on the entry it opens, as a web browser's find does: every
// place the search found in the definition and scripture boxes is marked in the palette's
// highlight colours (the current one in full, the others lighter), and the current one is
// scrolled into sight. F3 and Shift+F3 make the next or previous one current, round the end.
// A change of the boxes' text (an edit, another entry) or another entry shown removes them.
//
// The marks are extra selections of the boxes, told apart from anyone else's by a property
// of their own, so that other extra selections on the boxes stay as they are.

#include <QObject>
#include <QString>
#include <QTextCursor>
#include <vector>

class QPlainTextEdit;
class QTextEdit;
class QWidget;

namespace tolvane::dictwindow {

class EntryMarks : public QObject {
    Q_OBJECT
public:
    // The scripture box may be nullptr. Lives as long as `parent`, which outlives the boxes.
    EntryMarks(QPlainTextEdit* definition, QTextEdit* scripture, QObject* parent);

    // Marks where `match` (a full-text query) finds words in the boxes, counting
    // `headword` for a query whose words are partly in it; the first becomes current.
    // Returns how many places are marked.
    int mark(const QString& match, const QString& headword);
    // Makes the next (steps > 0) or previous mark current, round the end.
    void step(int steps);
    void clear();

    int count() const { return int(m_marks.size()); }
    int current() const { return m_current; }
    // The current mark's box and its text, selected; a null cursor when there is none.
    QWidget* currentBox() const;
    QTextCursor currentCursor() const;

Q_SIGNALS:
    void changed();

private:
    struct Mark {
        QWidget* box;
        QTextCursor cursor;
    };
    void show();
    void textChanged();

    QPlainTextEdit* m_definition;
    QTextEdit* m_scripture;
    std::vector<Mark> m_marks;
    int m_current = -1;
    QString m_markedText; // the boxes' text when marked
};

} // namespace tolvane::dictwindow
