#pragma once
// Showing an entry in whichever dictionary holds it, and the history of entries shown for
// Back and Forward (the Find menu's items, Alt+Left and Alt+Right, the mouse's back and
// forward buttons). A dictionary is opened through the same command as its menu item, so the
// caption changes and the other dictionary closes as choosing it from the menu does.

#include "find/EntryHistory.h"

#include <QObject>

namespace tolvane::data {
struct DictionaryConfig;
}
namespace tolvane::dictwindow {
class DictionaryWindow;
}

namespace tolvane::shell {

class Forms;

class Navigator : public QObject {
    Q_OBJECT
public:
    explicit Navigator(Forms& forms, QObject* parent = nullptr);
    ~Navigator() override;

    // Records the entries the window shows, and passes its notes to the Find window.
    void watch(dictwindow::DictionaryWindow& window);

    // Opens the dictionary and shows the entry (recorded in the history). False when the
    // dictionary did not open or the entry is no longer in it.
    bool openEntry(const data::DictionaryConfig& config, const QString& headword, int duplicate);

    void back();
    void forward();
    const find::EntryHistory& history() const { return m_history; }
    // Takes up the history of an earlier run (see find::EntryHistory::assign).
    void restoreHistory(std::vector<find::HistoryEntry> entries, std::size_t current);

Q_SIGNALS:
    // The history changed: whether Back and Forward can act may have changed with it.
    void historyChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void moveTo(const std::optional<find::HistoryEntry>& entry);

    Forms& m_forms;
    find::EntryHistory m_history;
    bool m_moving = false; // showing an entry of the history, which is not recorded again
};

} // namespace tolvane::shell
