// The links of the entry boxes: pointers to other entries, followed as choosing the entry
// from the list; Scripture references, passed on to whoever shows verses.

#include "dictwindow/DictionaryWindow.h"

#include "data/DataOperations.h"
#include "data/Queries.h"
#include "dictwindow/EntryLinks.h"
#include "platform/ErrorGuard.h"
#include "richtext/RichTextBox.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace tolvane::dictwindow {

void DictionaryWindow::attachLinks() {
    m_definitionLinks = new EntryLinks(m_controls.txtSurname);
    if (m_controls.rtb1)
        m_scriptureLinks = new EntryLinks(m_controls.rtb1);
    for (EntryLinks* links : {m_definitionLinks, m_scriptureLinks}) {
        if (!links)
            continue;
        links->setHeadwordLookup([this](const QString& name) { return headwordNamed(name); });
        links->setFollowable([this] { return mode() == Mode::Browse; });
        if (m_verseTip)
            links->setVerseTip(m_verseTip);
        connect(links, &EntryLinks::entryLinkClicked, this, [this](const QString& headword) {
            platform::runGuarded([this, headword] { showHeadword(headword, 0); });
        });
        connect(links, &EntryLinks::scriptureClicked, this, &DictionaryWindow::scriptureClicked);
    }
}

void DictionaryWindow::setVerseTip(EntryLinks::VerseTip tip) {
    m_verseTip = std::move(tip);
    for (EntryLinks* links : {m_definitionLinks, m_scriptureLinks})
        if (links)
            links->setVerseTip(m_verseTip);
}

// A bare "(11:31)" takes the book the headword names.
void DictionaryWindow::setLinksHeadword(const QString& headword) {
    for (EntryLinks* links : {m_definitionLinks, m_scriptureLinks})
        if (links)
            links->setHeadword(headword);
}

// The headword as the dictionary holds it, letter case ignored as the list matches; empty
// when there is none. Only while browsing: the open table is what the list shows.
QString DictionaryWindow::headwordNamed(const QString& name) {
    if (!db || name.trimmed().isEmpty())
        return {};
    auto found = db->OpenRecordset(data::headwordQuery(m_config, name));
    if (found->RecordCount() == 0)
        return {};
    found->MoveFirst();
    return data::readText(found, m_config.headwordColumn);
}

} // namespace tolvane::dictwindow
