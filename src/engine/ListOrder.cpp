#include "engine/ListOrder.h"

#include "engine/ListCollation.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace tolvane::engine {

namespace {

struct Keyed {
    quint64 head;   // the key's first 8 bytes, big-endian: most comparisons end here
    quint32 offset; // of the whole key in the key block
    quint32 length;
    quint32 place;
};

// Thrown out of the sort's comparison to end it once asked to stop: a sort of millions of
// keys takes seconds, and whoever asked (a write waiting for the file) should not.
struct Stopped {};
constexpr quint32 kComparesPerStopCheck = 65536;

quint64 headOf(const unsigned char* key, size_t length) {
    quint64 head = 0;
    for (size_t i = 0; i < 8; ++i)
        head = (head << 8) | (i < length ? key[i] : 0);
    return head;
}

} // namespace

std::vector<quint32> listOrder(const TextBlock& texts, const RowIds& rowids,
                               const std::atomic<bool>* stop) {
    const auto n = static_cast<size_t>(texts.size());
    std::string keys;
    std::vector<Keyed> keyed(n);
    for (size_t i = 0; i < n; ++i) {
        if (stop && i % 4096 == 0 && stop->load())
            return {};
        const size_t at = keys.size();
        // A null text gets the empty key, before every text's key.
        const size_t length =
            texts.isNull(static_cast<qsizetype>(i))
                ? 0
                : appendListSortKeyUtf8(texts.utf8(static_cast<qsizetype>(i)), keys);
        keyed[i] = {0, static_cast<quint32>(at), static_cast<quint32>(length),
                    static_cast<quint32>(i)};
    }
    const auto* base = reinterpret_cast<const unsigned char*>(keys.data());
    for (Keyed& k : keyed)
        k.head = headOf(base + k.offset, k.length);
    quint32 compares = 0;
    const auto before = [&](const Keyed& a, const Keyed& b) {
        if (stop && ++compares % kComparesPerStopCheck == 0 && stop->load())
            throw Stopped{};
        if (a.head != b.head)
            return a.head < b.head;
        const quint32 common = std::min(a.length, b.length);
        if (common > 8) {
            const int c = std::memcmp(base + a.offset + 8, base + b.offset + 8, common - 8);
            if (c != 0)
                return c < 0;
        }
        if (a.length != b.length)
            return a.length < b.length;
        return rowids[a.place] < rowids[b.place];
    };
    try {
        std::sort(keyed.begin(), keyed.end(), before);
    } catch (const Stopped&) {
        return {};
    }
    std::vector<quint32> order;
    order.reserve(n);
    for (const Keyed& k : keyed)
        order.push_back(k.place);
    return order;
}

} // namespace tolvane::engine
