#pragma once
// The Scripture window: the whole passage of a reference clicked in an entry, from a Bible
// chosen among the installed ones. Non-modal; one window follows later clicks.

#include "references/ScriptureReference.h"

#include <QWidget>

QT_BEGIN_NAMESPACE
class QComboBox;
class QLabel;
class QTextBrowser;
QT_END_NAMESPACE

namespace tolvane::scripture {

class VerseLookups;
struct Passage;

class ScriptureWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMostVerses = 400; // a passage longer than this is cut short

    explicit ScriptureWindow(VerseLookups& verses, QWidget* parent = nullptr);

    // Shows the passage (in the Bible chosen: VerseLookups::bible) and raises the window. The
    // passage comes when the lookup answers; a later click's passage replaces one not yet come.
    void showRange(const references::VerseRange& range);

    QComboBox* cboBible() const { return m_bible; }
    QLabel* lblReference() const { return m_reference; }
    QTextBrowser* txtPassage() const { return m_passage; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fillBibles();
    void showPassage();
    void showAnswer(const Passage& p);

    VerseLookups& m_verses;
    QComboBox* m_bible;
    QLabel* m_reference;
    QTextBrowser* m_passage;
    references::VerseRange m_range;
    bool m_biblesAsked = false;
};

} // namespace tolvane::scripture
