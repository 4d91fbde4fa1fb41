#include "find/EntryHistory.h"

namespace tolvane::find {

void EntryHistory::record(const HistoryEntry& entry) {
    if (!m_entries.empty()) {
        if (m_entries[m_current] == entry)
            return;
        m_entries.resize(m_current + 1);
    }
    m_entries.push_back(entry);
    if (m_entries.size() > kLongest)
        m_entries.erase(m_entries.begin());
    m_current = m_entries.size() - 1;
}

void EntryHistory::assign(std::vector<HistoryEntry> entries, std::size_t current) {
    const std::size_t dropped = entries.size() > kLongest ? entries.size() - kLongest : 0;
    entries.erase(entries.begin(), entries.begin() + std::ptrdiff_t(dropped));
    m_entries = std::move(entries);
    if (m_entries.empty())
        m_current = 0;
    else if (current < dropped || current - dropped >= m_entries.size())
        m_current = m_entries.size() - 1;
    else
        m_current = current - dropped;
}

std::optional<HistoryEntry> EntryHistory::back() {
    if (!canGoBack())
        return std::nullopt;
    return m_entries[--m_current];
}

std::optional<HistoryEntry> EntryHistory::forward() {
    if (!canGoForward())
        return std::nullopt;
    return m_entries[++m_current];
}

std::optional<HistoryEntry> EntryHistory::current() const {
    if (m_entries.empty())
        return std::nullopt;
    return m_entries[m_current];
}

} // namespace tolvane::find
