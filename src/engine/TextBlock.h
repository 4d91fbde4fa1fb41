#pragma once
// Many texts kept in one block: their UTF-8 bytes one after another, and for each text where
// it starts and how long it is (8 bytes a text). A million headwords cost their bytes and 8 MB,
// instead of a QString each. Texts are made into QStrings only when asked for.

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>
#include <string>
#include <vector>

namespace tolvane::engine {

class TextBlock {
public:
    struct Slot {
        quint32 offset = 0;
        qint32 length = kUnknown; // kNull, kUnknown or the byte length
    };
    static constexpr qint32 kNull = -1;
    static constexpr qint32 kUnknown = -2; // a place reserved for a text not read yet

    qsizetype size() const noexcept { return static_cast<qsizetype>(m_slots.size()); }
    bool isEmpty() const noexcept { return m_slots.empty(); }
    bool isNull(qsizetype i) const { return slot(i).length == kNull; }
    bool isKnown(qsizetype i) const { return slot(i).length != kUnknown; }
    QByteArrayView utf8(qsizetype i) const;
    // The text (an empty QString for null or unknown).
    QString text(qsizetype i) const;

    // Appends a text (a view without data is null). False, appending nothing, when the block
    // is full (4 GiB of text).
    bool append(QByteArrayView utf8);
    // Fills the reserved place i (kUnknown) with a text; false when the block is full.
    bool set(qsizetype i, QByteArrayView utf8);
    // Inserts a text at place i, the texts from there on moving one place up.
    bool insert(qsizetype i, QByteArrayView utf8);
    // Makes the block `n` places long; new places are unknown.
    void resize(qsizetype n) { m_slots.resize(static_cast<size_t>(n)); }
    void reserve(qsizetype n) { m_slots.reserve(static_cast<size_t>(n)); }
    // Room for `bytes` bytes of text. Where the system grants only part of it (or none), the
    // block grows as texts come instead.
    void reserveBytes(size_t bytes) noexcept;
    // Drops the null texts, keeping the others in their order.
    void removeNulls();
    // Reorders the places: place i of the result is place order[i] of this block.
    void permute(const std::vector<quint32>& order);
    void clear();

    const std::vector<Slot>& slots() const noexcept { return m_slots; }

private:
    const Slot& slot(qsizetype i) const { return m_slots[static_cast<size_t>(i)]; }
    bool store(Slot& slot, QByteArrayView utf8);

    std::string m_bytes;
    std::vector<Slot> m_slots;
};

} // namespace tolvane::engine
