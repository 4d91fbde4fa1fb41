#include "engine/RowIds.h"

#include <algorithm>

namespace tolvane::engine {

void RowIds::reserve(size_t n) {
    if (m_isWide)
        m_wide.reserve(n);
    else
        m_narrow.reserve(n);
}

void RowIds::pushWide(qint64 rowid) {
    if (!m_isWide) {
        // The first id that does not fit: every id moves to 8 bytes, keeping the room that
        // was reserved for the set.
        m_wide.reserve(std::max(m_narrow.capacity(), m_narrow.size() + 1));
        m_wide.assign(m_narrow.begin(), m_narrow.end());
        std::vector<quint32>().swap(m_narrow);
        m_isWide = true;
    }
    m_wide.push_back(rowid);
}

void RowIds::permute(const std::vector<quint32>& order) {
    const auto reorder = [&order](auto& ids) {
        std::remove_reference_t<decltype(ids)> reordered;
        reordered.reserve(order.size());
        for (const quint32 from : order)
            reordered.push_back(ids[from]);
        ids = std::move(reordered);
    };
    if (m_isWide)
        reorder(m_wide);
    else
        reorder(m_narrow);
}

void RowIds::release() noexcept {
    std::vector<quint32>().swap(m_narrow);
    std::vector<qint64>().swap(m_wide);
    m_isWide = false;
}

} // namespace tolvane::engine
