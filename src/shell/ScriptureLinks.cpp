// The Scripture references of the dictionary windows: a hover shows the verses in a tooltip,
// a click the whole passage in the Scripture window (one, non-modal, following later clicks).

#include "shell/Forms.h"

#include "dictwindow/DictionaryWindow.h"
#include "scripture/ScriptureWindow.h"
#include "scripture/VerseLookups.h"
#include "shell/MainWindow.h"

namespace tolvane::shell {

scripture::VerseLookups& Forms::verses() {
    if (!m_verses) {
        m_verses = std::make_unique<scripture::VerseLookups>();
        m_verses->setBible(m_bible);
    }
    return *m_verses;
}

QString Forms::chosenBible() const {
    return m_verses ? m_verses->bible() : m_bible;
}

void Forms::setChosenBible(const QString& name) {
    m_bible = name;
    if (m_verses)
        m_verses->setBible(name);
}

scripture::ScriptureWindow* Forms::scriptureWindow() const {
    return static_cast<scripture::ScriptureWindow*>(m_scriptureWindow.data());
}

void Forms::connectScripture(dictwindow::DictionaryWindow& window) {
    window.setVerseTip(
        [this](const references::VerseRange& range, std::function<void(const QString&)> answer) {
            verses().passage(scripture::VerseLookups::Channel::Tip, range, scripture::kVersesInTip,
                             verses().bible(), [range, answer](const scripture::Passage& passage) {
                                 answer(scripture::verseTip(range, passage));
                             });
        });
    connect(&window, &dictwindow::DictionaryWindow::scriptureClicked, this,
            [this](const references::VerseRange& range) {
                if (!m_scriptureWindow) {
                    auto* created = new scripture::ScriptureWindow(verses(), mainWindow());
                    created->setAttribute(Qt::WA_DeleteOnClose);
                    m_scriptureWindow = created;
                    // As Find is placed: beside the main window, wholly on the screen, unless
                    // it is remembered somewhere else.
                    placeBesideMainWindow(*created);
                    Q_EMIT scriptureWindowCreated(created);
                }
                scriptureWindow()->showRange(range);
            });
}

} // namespace tolvane::shell
