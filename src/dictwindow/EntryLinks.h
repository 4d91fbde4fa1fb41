#pragma once
// The links of one entry box (the definition box or the King James scripture box): the
// Scripture references and the pointers to other entries found in the text it shows, drawn
// as links (underlined, in a link colour that reads on the box's background) and followed
// by a click. The links are extra formatting laid over the shown paragraphs (their layouts'
// additional formats, as a syntax highlighter's): the text, its editing, the undo steps and
// the RTF the box gives back are never changed, and the box's extra selections are left to
// others.

#include "references/EntryPointers.h"
#include "references/ScriptureReference.h"

#include <QObject>
#include <QPointer>
#include <QTextEdit>
#include <QTimer>
#include <functional>
#include <variant>

QT_BEGIN_NAMESPACE
class QPlainTextEdit;
QT_END_NAMESPACE

namespace tolvane::dictwindow {

class EntryLinks : public QObject {
    Q_OBJECT
public:
    // The links live as long as the box (they are its child).
    explicit EntryLinks(QPlainTextEdit* box);
    explicit EntryLinks(QTextEdit* box);

    struct Link {
        qsizetype start = 0; // in the box document's positions
        qsizetype length = 0;
        std::variant<references::VerseRange, QString> target; // verses, or a headword
    };

    // Which names are headwords (the pointers' lookup), and the headword of the entry shown
    // (a bare "(11:31)" in "Daniel" is Daniel 11:31).
    void setHeadwordLookup(references::HeadwordLookup lookup) { m_lookup = std::move(lookup); }
    void setHeadword(const QString& headword) { m_headword = headword; }
    // Asks for the tooltip of a reference and gives it to `answer`, at once or later (on this
    // thread); an answer may never come. By default the reference spelled out, at once.
    using VerseTip = std::function<void(const references::VerseRange&,
                                        std::function<void(const QString&)> answer)>;
    void setVerseTip(VerseTip tip) { m_tip = std::move(tip); }
    // Whether a click follows a link now (not while an entry is being edited).
    void setFollowable(std::function<bool()> followable) { m_followable = std::move(followable); }

    // Finds the links in the text shown now and draws them. Every change of the box's text
    // is followed at once; the headword given later counts from the next change or refresh.
    void refresh();

    // The text the box is about to be given (its next setPlainText): its links are then laid
    // over the box's first paragraph before the text comes, not after the box laid it out,
    // which would lay it out a second time. The links come out the same either way.
    void expectText(const QString& text);

    const std::vector<Link>& links() const { return m_links; }
    // The link under a point of the box's viewport, or nullptr.
    const Link* linkAt(const QPoint& viewportPoint) const;

Q_SIGNALS:
    void entryLinkClicked(const QString& headword);
    void scriptureClicked(const references::VerseRange& range);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EntryLinks(QAbstractScrollArea* box, QTextDocument* document);
    void textChanged();
    void find(const QString& text);
    void draw(qsizetype emptiedUpTo = -1);
    void askTip(const Link& link, const QPoint& at);
    void showTip(quint64 request, const QString& tip);

    QAbstractScrollArea* m_box;
    // Kept from the start: the viewport's events come on while the box is being destroyed,
    // when the box can no longer be asked for it.
    QPointer<QWidget> m_viewport;
    QTextDocument* m_document;
    // The two box kinds share no base class for these.
    std::function<QTextCursor(const QPoint&)> m_cursorAt;
    std::function<QRect(const QTextCursor&)> m_cursorRect;

    references::HeadwordLookup m_lookup;
    VerseTip m_tip;
    std::function<bool()> m_followable;
    QString m_headword;
    std::vector<Link> m_links;
    QString m_expected;
    bool m_expecting = false;
    QString m_foundIn; // the expected text, as shown, whose links were found before it came
    const Link* m_pressed = nullptr;
    QPoint m_pressedAt;
    QTimer m_follow; // a click waits for a second one that would make it a double-click
    Link m_clicked;
    // The tooltip asked for last: shown when its answer comes, if the pointer is still over
    // that link (followed by the viewport's mouse moves).
    quint64 m_tipRequest = 0;
    qsizetype m_tipStart = -1;
    QPoint m_pointer{-1, -1};
};

} // namespace tolvane::dictwindow
