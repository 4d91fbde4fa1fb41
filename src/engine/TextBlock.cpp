#include "engine/TextBlock.h"

#include <algorithm>
#include <limits>
#include <new>

namespace tolvane::engine {

QByteArrayView TextBlock::utf8(qsizetype i) const {
    const Slot& s = slot(i);
    if (s.length < 0)
        return {};
    return QByteArrayView(m_bytes.data() + s.offset, s.length);
}

QString TextBlock::text(qsizetype i) const {
    const Slot& s = slot(i);
    if (s.length <= 0)
        return s.length == 0 ? QStringLiteral("") : QString();
    return QString::fromUtf8(m_bytes.data() + s.offset, s.length);
}

bool TextBlock::store(Slot& s, QByteArrayView utf8) {
    // SQLite hands out no text pointer for NULL, and a valid one for the empty text.
    if (!utf8.data()) {
        s.length = kNull;
        return true;
    }
    const size_t offset = m_bytes.size();
    if (offset + static_cast<size_t>(utf8.size()) > std::numeric_limits<quint32>::max())
        return false;
    s.offset = static_cast<quint32>(offset);
    s.length = static_cast<qint32>(utf8.size());
    m_bytes.append(utf8.data(), static_cast<size_t>(utf8.size()));
    return true;
}

bool TextBlock::append(QByteArrayView utf8) {
    Slot s;
    if (!store(s, utf8))
        return false;
    m_slots.push_back(s);
    return true;
}

bool TextBlock::set(qsizetype i, QByteArrayView utf8) {
    return store(m_slots[static_cast<size_t>(i)], utf8);
}

bool TextBlock::insert(qsizetype i, QByteArrayView utf8) {
    Slot s;
    if (!store(s, utf8))
        return false;
    m_slots.insert(m_slots.begin() + i, s);
    return true;
}

void TextBlock::reserveBytes(size_t bytes) noexcept {
    try {
        m_bytes.reserve(std::min<size_t>(bytes, std::numeric_limits<quint32>::max()));
    } catch (const std::bad_alloc&) {
        // Only an optimisation: the texts still fit as the block grows.
    }
}

void TextBlock::removeNulls() {
    m_slots.erase(std::remove_if(m_slots.begin(), m_slots.end(),
                                 [](const Slot& s) { return s.length == kNull; }),
                  m_slots.end());
}

void TextBlock::permute(const std::vector<quint32>& order) {
    std::vector<Slot> reordered;
    reordered.reserve(order.size());
    for (const quint32 from : order)
        reordered.push_back(m_slots[from]);
    m_slots = std::move(reordered);
}

void TextBlock::clear() {
    std::string().swap(m_bytes);
    std::vector<Slot>().swap(m_slots);
}

} // namespace tolvane::engine
