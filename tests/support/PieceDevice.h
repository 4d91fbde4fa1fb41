#pragma once
// A sequential device that hands out its text in pieces of the given sizes (cycled), as a
// pipe or a network stream does: readers must not assume a read fills their buffer.

#include <QIODevice>
#include <algorithm>
#include <cstring>
#include <vector>

namespace tolvane::test {

class PieceDevice : public QIODevice {
public:
    PieceDevice(QByteArray text, std::vector<qint64> pieces)
        : m_text(std::move(text)), m_pieces(std::move(pieces)) {
        open(ReadOnly);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 max) override {
        if (m_at >= m_text.size())
            return 0;
        qint64 piece = m_pieces.empty() ? max : m_pieces[m_next++ % m_pieces.size()];
        piece = std::clamp<qint64>(piece, 1, std::min<qint64>(max, m_text.size() - m_at));
        std::memcpy(data, m_text.constData() + m_at, size_t(piece));
        m_at += piece;
        return piece;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_text;
    std::vector<qint64> m_pieces;
    qsizetype m_at = 0;
    size_t m_next = 0;
};

} // namespace tolvane::test
