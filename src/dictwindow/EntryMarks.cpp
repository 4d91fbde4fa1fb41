#include "dictwindow/EntryMarks.h"

#include "engine/FullTextMarks.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>

namespace tolvane::dictwindow {

namespace {

// Tells the marks apart from other extra selections of the boxes.
constexpr int kMarkProperty = QTextFormat::UserProperty + 0x4d6b;

QTextDocument* documentOf(QWidget* box) {
    if (auto* plain = qobject_cast<QPlainTextEdit*>(box))
        return plain->document();
    return static_cast<QTextEdit*>(box)->document();
}

QList<QTextEdit::ExtraSelection> selectionsOf(QWidget* box) {
    if (auto* plain = qobject_cast<QPlainTextEdit*>(box))
        return plain->extraSelections();
    return static_cast<QTextEdit*>(box)->extraSelections();
}

void setSelections(QWidget* box, const QList<QTextEdit::ExtraSelection>& selections) {
    if (auto* plain = qobject_cast<QPlainTextEdit*>(box))
        plain->setExtraSelections(selections);
    else
        static_cast<QTextEdit*>(box)->setExtraSelections(selections);
}

// Puts the box's caret at the start of the mark and scrolls it into the middle of the box,
// where the eye finds it (as far as the text goes on either side).
void scrollTo(QWidget* box, const QTextCursor& mark) {
    QTextCursor caret(mark);
    caret.setPosition(mark.selectionStart());
    if (auto* plain = qobject_cast<QPlainTextEdit*>(box)) {
        plain->setTextCursor(caret);
        plain->centerCursor();
    } else {
        auto* rich = static_cast<QTextEdit*>(box);
        rich->setTextCursor(caret);
        rich->ensureCursorVisible();
        QScrollBar* bar = rich->verticalScrollBar();
        bar->setValue(bar->value() + rich->cursorRect().center().y() -
                      rich->viewport()->height() / 2);
    }
}

QColor mixed(const QColor& a, const QColor& b, double share) {
    return QColor::fromRgbF(float(a.redF() * share + b.redF() * (1 - share)),
                            float(a.greenF() * share + b.greenF() * (1 - share)),
                            float(a.blueF() * share + b.blueF() * (1 - share)));
}

} // namespace

EntryMarks::EntryMarks(QPlainTextEdit* definition, QTextEdit* scripture, QObject* parent)
    : QObject(parent), m_definition(definition), m_scripture(scripture) {
    for (QWidget* box : {static_cast<QWidget*>(definition), static_cast<QWidget*>(scripture)})
        if (box)
            connect(documentOf(box), &QTextDocument::contentsChanged, this,
                    &EntryMarks::textChanged);
}

int EntryMarks::mark(const QString& match, const QString& headword) {
    clear();
    QStringList texts{headword, m_definition->document()->toPlainText()};
    if (m_scripture)
        texts << m_scripture->document()->toPlainText();
    for (const engine::TextMark& found : engine::fullTextMarks(match, texts)) {
        if (found.text == 0)
            continue; // the headword box shows it whole
        QWidget* box = found.text == 1 ? static_cast<QWidget*>(m_definition)
                                       : static_cast<QWidget*>(m_scripture);
        QTextCursor cursor(documentOf(box));
        cursor.setPosition(int(found.start));
        cursor.setPosition(int(found.start + found.length), QTextCursor::KeepAnchor);
        m_marks.push_back({box, cursor});
    }
    if (m_marks.empty())
        return 0;
    m_markedText = texts.mid(1).join(QChar(0));
    m_current = 0;
    show();
    scrollTo(m_marks.front().box, m_marks.front().cursor);
    Q_EMIT changed();
    return count();
}

void EntryMarks::step(int steps) {
    if (m_marks.empty() || steps == 0)
        return;
    const int n = count();
    m_current = ((m_current + steps) % n + n) % n;
    show();
    scrollTo(m_marks[size_t(m_current)].box, m_marks[size_t(m_current)].cursor);
    Q_EMIT changed();
}

void EntryMarks::clear() {
    const bool had = !m_marks.empty();
    m_marks.clear();
    m_current = -1;
    m_markedText.clear();
    show();
    if (had)
        Q_EMIT changed();
}

QWidget* EntryMarks::currentBox() const {
    return m_current >= 0 ? m_marks[size_t(m_current)].box : nullptr;
}

QTextCursor EntryMarks::currentCursor() const {
    return m_current >= 0 ? m_marks[size_t(m_current)].cursor : QTextCursor();
}

// Every mark as an extra selection of its box, beside the box's other extra selections.
void EntryMarks::show() {
    for (QWidget* box : {static_cast<QWidget*>(m_definition), static_cast<QWidget*>(m_scripture)}) {
        if (!box)
            continue;
        QList<QTextEdit::ExtraSelection> selections;
        for (const QTextEdit::ExtraSelection& other : selectionsOf(box))
            if (!other.format.hasProperty(kMarkProperty))
                selections << other;
        const QPalette palette = box->palette();
        const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
        for (int i = 0; i < count(); ++i) {
            if (m_marks[size_t(i)].box != box)
                continue;
            QTextEdit::ExtraSelection mark;
            mark.cursor = m_marks[size_t(i)].cursor;
            mark.format.setProperty(kMarkProperty, true);
            if (i == m_current) {
                mark.format.setBackground(highlight);
                mark.format.setForeground(
                    palette.color(QPalette::Active, QPalette::HighlightedText));
            } else {
                mark.format.setBackground(mixed(highlight, palette.color(QPalette::Base), 0.4));
            }
            selections << mark;
        }
        setSelections(box, selections);
    }
}

void EntryMarks::textChanged() {
    if (m_marks.empty())
        return;
    QStringList texts{m_definition->document()->toPlainText()};
    if (m_scripture)
        texts << m_scripture->document()->toPlainText();
    // A change of format alone (the scripture box's zoom) leaves the marks in place.
    if (texts.join(QChar(0)) == m_markedText)
        return;
    // This runs inside the document's own edit: QTextDocument::clear() goes on walking the
    // document's cursors after telling of the change, so the boxes must keep the marks'
    // cursors until it has returned. They drop them on the next turn of the event loop.
    m_marks.clear();
    m_current = -1;
    m_markedText.clear();
    QMetaObject::invokeMethod(
        this, [this] { show(); }, Qt::QueuedConnection);
    Q_EMIT changed();
}

} // namespace tolvane::dictwindow
