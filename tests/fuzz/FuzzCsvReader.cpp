// libFuzzer target: the CSV reader fed the same bytes whole and in pieces of random sizes,
// as a pipe delivers them. The first byte chooses the piece sizes; the rest is the file. Both
// readings must give the same records, or fail on the same line with the same message.

#include "FuzzRequire.h"
#include "import/CsvReader.h"
#include "support/PieceDevice.h"

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <vector>

using tolvane::import::CsvError;
using tolvane::import::CsvReader;
using tolvane::import::CsvRecord;

namespace {

struct Reading {
    std::vector<CsvRecord> records;
    bool failed = false;
    int errorLine = 0;
    QString error;
};

Reading readAll(QIODevice& device) {
    Reading reading;
    CsvReader reader(device);
    CsvRecord record;
    try {
        while (reader.next(record))
            reading.records.push_back(record);
    } catch (const CsvError& e) {
        reading.failed = true;
        reading.errorLine = e.line();
        reading.error = e.message();
    }
    return reading;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QByteArray text(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    QBuffer whole;
    whole.setData(text);
    whole.open(QIODevice::ReadOnly);
    const Reading expected = readAll(whole);

    // Piece sizes from the first byte: 1 to 4 bytes, cycling through a few patterns.
    std::vector<qint64> pieces;
    for (int bit = 0; bit < 8; bit += 2)
        pieces.push_back(1 + ((data[0] >> bit) & 3));
    tolvane::test::PieceDevice pieced(text, pieces);
    const Reading got = readAll(pieced);

    require(got.failed == expected.failed && got.errorLine == expected.errorLine &&
            got.error == expected.error);
    require(got.records.size() == expected.records.size());
    for (size_t i = 0; i < got.records.size(); ++i)
        require(got.records[i].line == expected.records[i].line &&
                got.records[i].fields == expected.records[i].fields);
    return 0;
}
