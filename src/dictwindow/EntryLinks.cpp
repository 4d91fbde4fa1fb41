#include "dictwindow/EntryLinks.h"

#include "dictwindow/LinkColour.h"
#include "platform/ErrorGuard.h"
#include "references/ReferenceFinder.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

namespace tolvane::dictwindow {

namespace {

// Marks the formats that are links, so that other additional formats of a paragraph are kept.
constexpr int kLinkProperty = QTextFormat::UserProperty + 0x4c4b;

} // namespace

EntryLinks::EntryLinks(QPlainTextEdit* box) : EntryLinks(box, box->document()) {
    m_cursorAt = [box](const QPoint& p) { return box->cursorForPosition(p); };
    m_cursorRect = [box](const QTextCursor& c) { return box->cursorRect(c); };
}

EntryLinks::EntryLinks(QTextEdit* box) : EntryLinks(box, box->document()) {
    m_cursorAt = [box](const QPoint& p) { return box->cursorForPosition(p); };
    m_cursorRect = [box](const QTextCursor& c) { return box->cursorRect(c); };
}

EntryLinks::EntryLinks(QAbstractScrollArea* box, QTextDocument* document)
    : QObject(box), m_box(box), m_viewport(box->viewport()), m_document(document) {
    m_viewport->installEventFilter(this);
    m_follow.setSingleShot(true);
    connect(&m_follow, &QTimer::timeout, this, [this] {
        if (const auto* range = std::get_if<references::VerseRange>(&m_clicked.target))
            Q_EMIT scriptureClicked(*range);
        else
            Q_EMIT entryLinkClicked(std::get<QString>(m_clicked.target));
    });
    m_viewport->setMouseTracking(true);
    // Found within the change itself, before the box lays the new text out: the paragraphs
    // are then laid out once, with their links, and not a second time when the links come.
    // A box whose document is replaced (setDocument) is not followed; the boxes never do.
    connect(document, &QTextDocument::contentsChange, this,
            [this] { platform::runGuarded([this] { textChanged(); }); });
}

void EntryLinks::expectText(const QString& text) {
    m_expected = text;
    m_expecting = true;
}

namespace {

// Where the first character is that the box's document shows otherwise, or the text's size.
// Searched for one by one with Qt's search, which reads many characters at a time: most
// entries have none, and a long entry is passed over in a few microseconds.
qsizetype firstChangedWhenShown(QStringView text) {
    qsizetype first = text.size();
    for (const char16_t c :
         {u'\r', char16_t(QChar::Nbsp), char16_t(QChar::LineSeparator),
          char16_t(QChar::ParagraphSeparator), char16_t(0xfdd0), char16_t(0xfdd1)}) {
        const qsizetype at = text.first(first).indexOf(QChar(c));
        if (at >= 0)
            first = at;
    }
    return first;
}

// The text as the box's document gives it back once set: a paragraph break ("\r\n" or one of
// its characters) or a line break as "\n", no-break spaces as spaces (QTextDocument's
// toPlainText). Written in place from the first character that changes, if any.
QString asShown(QString text) {
    const qsizetype first = firstChangedWhenShown(text);
    if (first == text.size())
        return text;
    QChar* out = text.data() + first;
    const QChar* in = out;
    const QChar* const end = text.constData() + text.size();
    for (; in != end; ++in, ++out) {
        switch (in->unicode()) {
        case u'\r':
            if (in + 1 != end && in[1] == u'\n')
                ++in;
            *out = u'\n';
            break;
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
        case 0xfdd0: // the beginning and end of a frame
        case 0xfdd1:
            *out = u'\n';
            break;
        case QChar::Nbsp:
            *out = u' ';
            break;
        default:
            *out = *in;
            break;
        }
    }
    text.truncate(out - text.constData());
    return text;
}

} // namespace

// A text set with setPlainText comes in two changes: the old text removed, the new inserted.
// The expected text's links are laid over the emptied box's paragraph, which the new text's
// first paragraph then is, before it is laid out; at the insertion they are already there.
void EntryLinks::textChanged() {
    if (m_expecting && m_document->isEmpty()) {
        m_expecting = false;
        m_foundIn = asShown(m_expected);
        m_expected.clear();
        find(m_foundIn);
        const qsizetype firstBreak = m_foundIn.indexOf(u'\n');
        draw(firstBreak < 0 ? m_foundIn.size() : firstBreak);
        return;
    }
    m_expecting = false;
    // The insertion that follows the emptying is the expected text (expectText's contract):
    // its length tells a box given some other text.
    if (!m_foundIn.isNull() && m_document->characterCount() == m_foundIn.size() + 1) {
        Q_ASSERT(m_document->toPlainText() == m_foundIn);
        m_foundIn = QString();
        draw();
        return;
    }
    m_foundIn = QString();
    refresh();
}

void EntryLinks::refresh() {
    find(m_document->toPlainText());
    draw();
}

void EntryLinks::find(const QString& text) {
    m_pressed = nullptr;
    m_follow.stop();
    m_links.clear();
    for (const auto& r : references::findReferences(text, m_headword))
        m_links.push_back({r.start, r.length, r.range});
    if (m_lookup) {
        const std::size_t verses = m_links.size();
        for (auto& p : references::findEntryPointers(text, m_lookup)) {
            const bool overlaps = std::any_of(
                m_links.begin(), m_links.begin() + qsizetype(verses), [&](const Link& l) {
                    return p.start < l.start + l.length && l.start < p.start + p.length;
                });
            if (!overlaps)
                m_links.push_back({p.start, p.length, p.headword});
        }
        std::sort(m_links.begin(), m_links.end(),
                  [](const Link& a, const Link& b) { return a.start < b.start; });
    }
}

// Each paragraph's layout carries the links as additional formats, as a syntax highlighter's
// colours are carried: laid out with the paragraph, drawn with it, never part of the document.
// (Extra selections cost a hundred times more on a long entry: every one of them is measured
// again on each change.) Only a paragraph whose links differ from those it carries is given
// them, since that lays it out again. `emptiedUpTo`: the box is empty, and its one paragraph
// is given the links before that place of the expected text (its first paragraph).
void EntryLinks::draw(qsizetype emptiedUpTo) {
    if (!m_viewport)
        return;
    const QPalette palette = m_viewport->palette();
    QTextCharFormat format;
    format.setForeground(
        readableLinkColour(palette.color(QPalette::Link), palette.color(QPalette::Base)));
    format.setFontUnderline(true);
    format.setProperty(kLinkProperty, true);
    auto link = m_links.cbegin();
    QList<QTextLayout::FormatRange> others;
    QList<QTextLayout::FormatRange> had;
    QList<QTextLayout::FormatRange> wanted;
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        QTextLayout* layout = block.layout();
        if (!layout)
            continue;
        others.clear();
        had.clear();
        wanted.clear();
        for (const auto& range : layout->formats())
            (range.format.hasProperty(kLinkProperty) ? had : others).append(range);
        const qsizetype from = block.position();
        const qsizetype to = emptiedUpTo >= 0 ? emptiedUpTo : from + block.length();
        for (; link != m_links.cend() && link->start < to; ++link)
            wanted.append({int(link->start - from), int(link->length), format});
        if (had == wanted)
            continue;
        layout->setFormats(others + wanted);
        m_document->markContentsDirty(int(from), block.length());
        if (emptiedUpTo >= 0)
            break;
    }
}

const EntryLinks::Link* EntryLinks::linkAt(const QPoint& point) const {
    if (m_links.empty())
        return nullptr;
    // The character under the point: the cursor place nearest to it is on its left or its
    // right side; a point beyond the end of a line or below the text is over none.
    QTextCursor cursor = m_cursorAt(point);
    const QRect place = m_cursorRect(cursor);
    qsizetype character = cursor.position();
    if (point.x() < place.x())
        --character;
    if (point.y() < place.top() || point.y() > place.bottom())
        return nullptr;
    QTextCursor next(m_document);
    next.setPosition(int(character + 1));
    QTextCursor here(m_document);
    here.setPosition(int(std::max<qsizetype>(character, 0)));
    if (point.x() < m_cursorRect(here).x() || point.x() > m_cursorRect(next).x())
        return nullptr;
    const auto it = std::find_if(m_links.begin(), m_links.end(), [&](const Link& l) {
        return character >= l.start && character < l.start + l.length;
    });
    return it == m_links.end() ? nullptr : &*it;
}

// A later hover supersedes an earlier one: only the answer to the last request is shown, and
// only while the pointer is over the link it was asked for.
void EntryLinks::askTip(const Link& link, const QPoint& at) {
    const quint64 request = ++m_tipRequest;
    m_tipStart = link.start;
    m_pointer = at;
    QPointer<EntryLinks> self(this);
    auto answer = [self, request](const QString& tip) {
        if (self)
            self->showTip(request, tip);
    };
    if (const auto* range = std::get_if<references::VerseRange>(&link.target)) {
        if (m_tip)
            m_tip(*range, answer);
        else
            answer(references::displayName(*range));
    } else {
        answer(QStringLiteral("Open the entry %1").arg(std::get<QString>(link.target)));
    }
}

void EntryLinks::showTip(quint64 request, const QString& tip) {
    if (request != m_tipRequest || !m_viewport)
        return;
    const Link* over = linkAt(m_pointer);
    if (!over || over->start != m_tipStart)
        return;
    QToolTip::showText(m_viewport->mapToGlobal(m_pointer), tip, m_viewport);
}

bool EntryLinks::eventFilter(QObject* watched, QEvent* event) {
    if (!m_viewport || watched != m_viewport)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto* e = static_cast<QMouseEvent*>(event);
        m_pointer = e->position().toPoint();
        const bool over = e->buttons() == Qt::NoButton && linkAt(m_pointer);
        if (over)
            m_viewport->setCursor(Qt::PointingHandCursor);
        else
            m_viewport->unsetCursor();
        break;
    }
    case QEvent::ToolTip: {
        const auto* e = static_cast<QHelpEvent*>(event);
        if (const Link* link = linkAt(e->pos())) {
            platform::runGuarded([&] { askTip(*link, e->pos()); });
        } else {
            ++m_tipRequest; // an answer still to come is for a link left
            QToolTip::hideText();
        }
        return true;
    }
    case QEvent::Leave:
        m_pointer = {-1, -1};
        break;
    case QEvent::MouseButtonPress: {
        const auto* e = static_cast<QMouseEvent*>(event);
        m_pressed = e->button() == Qt::LeftButton ? linkAt(e->position().toPoint()) : nullptr;
        m_pressedAt = e->position().toPoint();
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto* e = static_cast<QMouseEvent*>(event);
        const Link* pressed = std::exchange(m_pressed, nullptr);
        if (e->button() != Qt::LeftButton || !pressed ||
            linkAt(e->position().toPoint()) != pressed || (m_followable && !m_followable()) ||
            (e->position().toPoint() - m_pressedAt).manhattanLength() >=
                QApplication::startDragDistance()) // a selection was dragged
            break;
        // Followed once no second click makes it a double-click, which looks the word up as
        // it always has, on the entry it was made on.
        m_clicked = *pressed;
        m_follow.start(QApplication::doubleClickInterval());
        break;
    }
    case QEvent::MouseButtonDblClick:
        m_follow.stop();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tolvane::dictwindow
