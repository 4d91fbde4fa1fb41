#include "ModuleFiles.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cctype>

namespace tolvane::swordread {

namespace {

// The layout of an index record: a 32-bit offset, then a size of `sizeBytes` bytes, both
// little-endian, as libsword writes them on every machine.
struct IndexLayout {
    const char* indexSuffix;
    const char* dataSuffix;
    int sizeBytes;
    int recordSize() const { return 4 + sizeBytes; }
};

// libsword ends every entry and every block with a line end ("\r\n").
constexpr qint64 kTrailingLineEnd = 2;

quint64 littleEndian(const char* bytes, int count) {
    quint64 value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[i]);
    return value;
}

std::string checkIndex(const std::string& dataPath, const IndexLayout& layout) {
    const std::string indexName = dataPath + layout.indexSuffix;
    const std::string dataName = dataPath + layout.dataSuffix;
    QFile index(QFile::decodeName(indexName.c_str()));
    if (!index.open(QIODevice::ReadOnly))
        return "its file " + indexName + " cannot be read";
    const QFileInfo data(QFile::decodeName(dataName.c_str()));
    if (!data.isFile())
        return "its file " + dataName + " is missing";
    const QByteArray records = index.readAll();
    const qint64 count = records.size() / layout.recordSize();
    if (records.size() % layout.recordSize() != 0)
        return "its index " + indexName + " is " + std::to_string(records.size()) +
               " bytes long, not a whole number of " + std::to_string(layout.recordSize()) +
               "-byte records: it is cut short or damaged";
    qint64 furthest = 0;
    for (qint64 i = 0; i < count; ++i) {
        const char* record = records.constData() + i * layout.recordSize();
        const qint64 end =
            qint64(littleEndian(record, 4)) + qint64(littleEndian(record + 4, layout.sizeBytes));
        if (end > data.size())
            return "its index " + indexName + " points beyond the end of " + dataName +
                   " (record " + std::to_string(i + 1) + " of " + std::to_string(count) + ")";
        furthest = std::max(furthest, end);
    }
    if (count > 0 && furthest < data.size() - kTrailingLineEnd)
        return "its index " + indexName + " lists " + std::to_string(count) + " records, but " +
               dataName + " holds more beyond them: the index is cut short";
    return {};
}

} // namespace

std::string checkDictionaryFiles(const std::string& driver, const std::string& dataPath) {
    std::string lower = driver;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (lower == "rawld")
        return checkIndex(dataPath, {".idx", ".dat", 2});
    if (lower == "rawld4")
        return checkIndex(dataPath, {".idx", ".dat", 4});
    if (lower == "zld") {
        if (std::string problem = checkIndex(dataPath, {".idx", ".dat", 4}); !problem.empty())
            return problem;
        return checkIndex(dataPath, {".zdx", ".zdt", 4});
    }
    return {};
}

} // namespace tolvane::swordread
