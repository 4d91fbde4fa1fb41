#pragma once
// The entries the user has been shown during this run, across dictionaries, for Back and
// Forward: an entry shown by any means (a click, the keyboard, Find, a followed word) is
// recorded after the current one, and whatever lay ahead of it is dropped, as a web
// browser does. Moving back or forward shows an entry without recording it again.

#include <QString>
#include <optional>
#include <vector>

namespace tolvane::find {

struct HistoryEntry {
    QString windowName; // the dictionary's window kind: "Form1", "frmEastons", ...
    QString headword;
    int duplicate = 0; // which of several entries with an equal headword (0 = the first)
    friend bool operator==(const HistoryEntry&, const HistoryEntry&) = default;
};

class EntryHistory {
public:
    static constexpr std::size_t kLongest = 1000; // the oldest entries go beyond this

    // An entry the user was shown. The same entry twice in a row is recorded once.
    void record(const HistoryEntry& entry);

    bool canGoBack() const { return m_current > 0; }
    bool canGoForward() const { return m_current + 1 < m_entries.size(); }
    // The entry to show, now the current one; nullopt at either end.
    std::optional<HistoryEntry> back();
    std::optional<HistoryEntry> forward();
    std::optional<HistoryEntry> current() const;

    // The whole history, oldest first, and which entry is the current one (0 when empty):
    // what a later run needs to take it up again with assign().
    const std::vector<HistoryEntry>& entries() const { return m_entries; }
    std::size_t currentIndex() const { return m_current; }
    // Replaces the history; the newest kLongest entries are kept, and a current index out
    // of range makes the newest entry the current one.
    void assign(std::vector<HistoryEntry> entries, std::size_t current);

private:
    std::vector<HistoryEntry> m_entries;
    std::size_t m_current = 0; // meaningful only when m_entries is not empty
};

} // namespace tolvane::find
