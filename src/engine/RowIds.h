#pragma once
// The row ids of a set, in the set's order. SQLite hands out row ids from 1 upward, so in
// practice every id fits in 32 bits: they are kept in 4 bytes each then, and only a set that
// meets an id outside 0..2^32-1 (a negative or a very large one) is widened to 8 bytes a row.
// A million-row set costs 4 MB instead of 8, which a whole-list refill holds on top of the
// list it is about to replace.

#include <QtGlobal>
#include <cstddef>
#include <vector>

namespace tolvane::engine {

class RowIds {
public:
    size_t size() const noexcept { return m_isWide ? m_wide.size() : m_narrow.size(); }
    bool empty() const noexcept { return size() == 0; }
    qint64 operator[](size_t i) const { return m_isWide ? m_wide[i] : qint64(m_narrow[i]); }

    void push_back(qint64 rowid) {
        if (!m_isWide && fitsNarrow(rowid))
            m_narrow.push_back(static_cast<quint32>(rowid));
        else
            pushWide(rowid);
    }
    // Room for `n` ids at the current width (the usual case never widens).
    void reserve(size_t n);
    // Reorders the ids: id i of the result is id order[i] of this list.
    void permute(const std::vector<quint32>& order);
    // Empties the list, keeping its room.
    void clear() noexcept {
        m_narrow.clear();
        m_wide.clear();
    }
    // Empties the list and gives its memory back.
    void release() noexcept;

private:
    static bool fitsNarrow(qint64 rowid) noexcept {
        return rowid >= 0 && rowid <= qint64(0xFFFFFFFF);
    }
    void pushWide(qint64 rowid);

    bool m_isWide = false;
    std::vector<quint32> m_narrow; // while every id fits
    std::vector<qint64> m_wide;    // once one did not
};

} // namespace tolvane::engine
