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
    connect(m_bible, &QComboBox::activated, this,
            [this] { platform::runGuarded([this] { showPassage(); }); });
}

void ScriptureWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

// Asked once, when the window is first shown; the choice is there when the answer comes.
void ScriptureWindow::fillBibles() {
    if (std::exchange(m_biblesAsked, true))
        return;
    m_bible->addItem(QStringLiteral("Preferred Bible (KJV)"), QString());
    QPointer<ScriptureWindow> self(this);
    m_verses.bibles(VerseLookups::Channel::Bibles, [self](const std::vector<Bible>& bibles) {
        if (!self)
            return;
        for (const Bible& b : bibles)
            self->m_bible->addItem(QStringLiteral("%1 - %2").arg(b.abbreviation, b.description),
                                   b.name);
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
    m_verses.passage(VerseLookups::Channel::Window, m_range, kMostVerses,
                     m_bible->currentData().toString(), [self](const Passage& p) {
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
