#include "scripture/ScriptureWindow.h"

#include "platform/ErrorGuard.h"
#include "references/Versification.h"
#include "scripture/VerseLookups.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace tolvane::scripture {

ScriptureWindow::ScriptureWindow(VerseLookups& verses, QWidget* parent)
    : QWidget(parent, Qt::Window), m_verses(verses), m_bible(new QComboBox(this)),
      m_reference(new QLabel(this)), m_passage(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("frmScripture"));
    setWindowTitle(QStringLiteral("Scripture"));
    m_bible->setObjectName(QStringLiteral("cboBible"));
    m_bible->setAccessibleName(QStringLiteral("Bible"));
    m_reference->setObjectName(QStringLiteral("lblReference"));
    m_passage->setObjectName(QStringLiteral("txtPassage"));
    m_passage->setAccessibleName(QStringLiteral("Passage"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bible);
    layout->addWidget(m_reference);
    layout->addWidget(m_passage, 1);
    resize(480, 360);
    connect(m_bible, &QComboBox::activated, this, [this] {
        platform::runGuarded([this] {
            m_verses.setBible(m_bible->currentData().toString());
            showPassage();
        });
    });
}

void ScriptureWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

// Asked once, when the window is first shown. Only installed Bibles are offered; the one
// shown chosen is the one the lookups use: the Bible chosen, else the KJV, else the first.
void ScriptureWindow::fillBibles() {
    if (std::exchange(m_biblesAsked, true))
        return;
    m_bible->setEnabled(false);
    QPointer<ScriptureWindow> self(this);
    m_verses.bibles(VerseLookups::Channel::Bibles, [self](const std::vector<Bible>& bibles) {
        if (!self)
            return;
        QComboBox* box = self->m_bible;
        int chosen = -1;
        int kjv = -1;
        for (const Bible& b : bibles) {
            if (b.name == self->m_verses.bible())
                chosen = box->count();
            if (b.abbreviation == u"KJV" && kjv < 0)
                kjv = box->count();
            box->addItem(QStringLiteral("%1 - %2").arg(b.abbreviation, b.description), b.name);
        }
        box->setCurrentIndex(chosen >= 0 ? chosen : std::max(kjv, 0));
        box->setEnabled(box->count() > 0);
    });
}

void ScriptureWindow::showRange(const references::VerseRange& range) {
    m_range = range;
    fillBibles();
    showPassage();
    show();
    raise();
    activateWindow();
}

void ScriptureWindow::showPassage() {
    m_reference->setText(references::displayName(m_range));
    QPointer<ScriptureWindow> self(this);
    m_verses.passage(VerseLookups::Channel::Window, m_range, kMostVerses, m_verses.bible(),
                     [self](const Passage& p) {
                         if (self)
                             platform::runGuarded([&] { self->showAnswer(p); });
                     });
}

void ScriptureWindow::showAnswer(const Passage& p) {
    const QString name = references::displayName(m_range);
    if (p.problem != Passage::Problem::None) {
        m_reference->setText(name);
        m_passage->setHtml(verseTip(m_range, p));
        return;
    }
    m_reference->setText(QStringLiteral("%1 (%2)").arg(name, p.abbreviation));
    QString html;
    if (const QString note = fallbackNote(m_range, p); !note.isEmpty())
        html += QStringLiteral("<p><i>%1</i></p>").arg(note.toHtmlEscaped());
    int chapter = 0;
    for (const auto& v : p.verses) {
        if (v.chapter != chapter && m_range.endChapter != m_range.chapter)
            html += QStringLiteral("<h3>%1 %2</h3>")
                        .arg(references::bookName(m_range.book))
                        .arg(v.chapter);
        chapter = v.chapter;
        html += QStringLiteral("<p><sup>%1</sup> %2</p>").arg(v.verse).arg(v.text.toHtmlEscaped());
    }
    if (p.total > qint64(p.verses.size()))
        html += QStringLiteral("<p>%1</p>").arg(QChar(0x2026));
    m_passage->setHtml(html);
}

} // namespace tolvane::scripture
