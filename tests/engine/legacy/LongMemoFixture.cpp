#include "LongMemoFixture.h"

#include "support/TestSupport.h"

#include <stdexcept>

namespace tolvane::test {

namespace {

constexpr int kPageSize = 2048;       // Jet 3
constexpr int kRowCountOffset = 8;    // Jet 3 data page: row count, then row offsets
constexpr quint32 kSinglePage = 0x40000000u;

void putU16(QByteArray& b, qsizetype at, quint16 v) {
    b[at] = char(v & 0xff);
    b[at + 1] = char(v >> 8);
}
void putU32(QByteArray& b, qsizetype at, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xff);
}
QByteArray u32(quint32 v) {
    QByteArray b(4, '\0');
    putU32(b, 0, v);
    return b;
}

// Windows-1252 text with characters that grow when turned into UTF-8, in lines.
QByteArray memoText(int bytes) {
    QByteArray text;
    for (int line = 0; text.size() < bytes; ++line)
        text += "Line " + QByteArray::number(line) + ": caf\xe9 \x80 \xa3 na\xefve \x93quoted\x94\r\n";
    text.truncate(bytes);
    return text;
}

} // namespace

LongMemo writeLongMemoDatabase(const QString& source, const QString& folder, int bytes) {
    QByteArray file = readFile(source);
    if (file.isEmpty() || file.size() % kPageSize != 0)
        throw std::runtime_error("not a Jet 3 file: " + source.toStdString());

    // The memo's single-page pointer: length 348 with the single-page flag, then the page
    // and row of its text.
    const qsizetype textAt = file.indexOf("Jon Iles this is a");
    if (textAt < 0)
        throw std::runtime_error("memo text not found in " + source.toStdString());
    const quint32 textPage = quint32(textAt / kPageSize);
    const qsizetype header = file.indexOf(u32(kSinglePage | 348u) + u32(textPage << 8));
    if (header < 0)
        throw std::runtime_error("memo pointer not found in " + source.toStdString());

    const QByteArray text = memoText(bytes);
    const int chunk = kPageSize - 12 - 4; // page header + row offset, then next-pointer
    const quint32 firstPage = quint32(file.size() / kPageSize);
    const int pages = (text.size() + chunk - 1) / chunk;
    for (int p = 0; p < pages; ++p) {
        const QByteArray part = text.mid(qsizetype(p) * chunk, chunk);
        QByteArray page(kPageSize, '\0');
        page[0] = 0x01; // data page
        page[1] = 0x01;
        page.replace(4, 4, "LVAL");
        putU16(page, kRowCountOffset, 1);
        const int rowStart = kPageSize - 4 - int(part.size());
        putU16(page, kRowCountOffset + 2, quint16(rowStart));
        const quint32 next = p + 1 < pages ? (firstPage + quint32(p) + 1) << 8 : 0;
        putU32(page, rowStart, next);
        page.replace(rowStart + 4, part.size(), part);
        file += page;
    }
    // Multi-page: no flag bits, the whole length, the first page of the chain.
    putU32(file, header, quint32(text.size()));
    putU32(file, header + 4, firstPage << 8);

    LongMemo memo;
    memo.path = folder + QStringLiteral("/longmemo.mdb");
    writeFile(memo.path, file);
    // Windows-1252 is not among Qt's built-in codecs; the five non-Latin-1 bytes used above
    // are mapped by hand.
    for (char c : text) {
        switch (static_cast<unsigned char>(c)) {
        case 0x80: memo.expected += QChar(0x20AC); break;
        case 0x93: memo.expected += QChar(0x201C); break;
        case 0x94: memo.expected += QChar(0x201D); break;
        default: memo.expected += QChar(static_cast<unsigned char>(c)); break;
        }
    }
    return memo;
}

} // namespace tolvane::test
