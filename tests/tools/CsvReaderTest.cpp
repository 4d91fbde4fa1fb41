// The CSV reader: what RFC 4180 allows comes back byte for byte, and every malformed input is
// refused with the line it is on.
#include "import/CsvReader.h"
#include "support/PieceDevice.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

using tolvane::import::CsvError;
using tolvane::import::CsvReader;
using tolvane::import::CsvRecord;
using tolvane::import::firstInvalidUtf8;

namespace {

std::vector<CsvRecord> readAll(const QByteArray& text) {
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer);
    std::vector<CsvRecord> records;
    CsvRecord record;
    while (reader.next(record))
        records.push_back(record);
    return records;
}

// The line and message of the error reading `text` raises; fails the test when none.
CsvError errorOf(const QByteArray& text) {
    try {
        readAll(text);
    } catch (const CsvError& e) {
        return e;
    }
    ADD_FAILURE() << "accepted: " << text.toStdString();
    return CsvError(0, {});
}

std::vector<QByteArray> fields(std::initializer_list<const char*> list) {
    std::vector<QByteArray> out;
    for (const char* f : list)
        out.emplace_back(f);
    return out;
}

} // namespace

TEST(CsvReader, ReadsQuotedAndPlainFieldsExactly) {
    const auto records = readAll("a,b,c\r\n"
                                 "\"x, y\",\"say \"\"hi\"\"\",\r\n"
                                 "\"two\r\nlines\",\"\",plain text \r\n");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].fields, fields({"a", "b", "c"}));
    EXPECT_EQ(records[1].fields, fields({"x, y", "say \"hi\"", ""}));
    // Line breaks inside quotes and blanks around unquoted text are kept as they are.
    EXPECT_EQ(records[2].fields, fields({"two\r\nlines", "", "plain text "}));
    EXPECT_EQ(records[0].line, 1);
    EXPECT_EQ(records[1].line, 2);
    EXPECT_EQ(records[2].line, 3);
}

TEST(CsvReader, AcceptsLineFeedsAMissingFinalBreakAndAByteOrderMark) {
    const auto records = readAll("\xEF\xBB\xBFh1,h2\n1,2\n\"3\n3\",4");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].fields, fields({"h1", "h2"}));
    EXPECT_EQ(records[2].fields, fields({"3\n3", "4"}));
    EXPECT_EQ(records[2].line, 3);
    EXPECT_TRUE(readAll("").empty());
}

TEST(CsvReader, SkipsAByteOrderMarkThatArrivesInPieces) {
    // A pipe may hand over the mark a byte or two at a time; the quoted first field after it
    // must still read as quoted.
    for (const std::vector<qint64>& pieces : {std::vector<qint64>{1}, {2}, {2, 1}, {1, 2, 64}}) {
        tolvane::test::PieceDevice device("\xEF\xBB\xBF\"h1\",h2\r\n\"a\",b\r\n", pieces);
        CsvReader reader(device);
        CsvRecord record;
        ASSERT_TRUE(reader.next(record));
        EXPECT_EQ(record.fields, fields({"h1", "h2"}));
        ASSERT_TRUE(reader.next(record));
        EXPECT_EQ(record.fields, fields({"a", "b"}));
        EXPECT_FALSE(reader.next(record));
    }
    // Two bytes of a mark and no more are data (and not UTF-8).
    tolvane::test::PieceDevice cut("\xEF\xBB", {1});
    CsvReader reader(cut);
    CsvRecord record;
    EXPECT_THROW(reader.next(record), CsvError);
}

TEST(CsvReader, KeepsUtf8TextAndCountsLinesAcrossQuotedBreaks) {
    const auto records =
        readAll("w,d\r\n\u00c6non,\"caf\u00e9\r\n\r\nLord\u2019s\"\r\nlast,\"\"\"\"\r\n");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1].fields[0], QByteArray("\u00c6non"));
    EXPECT_EQ(records[1].fields[1], QByteArray("caf\u00e9\r\n\r\nLord\u2019s"));
    EXPECT_EQ(records[2].line, 5);
    EXPECT_EQ(records[2].fields[1], QByteArray("\""));
}

TEST(CsvReader, ReadsRecordsThatSpanItsReadChunks) {
    // Longer than one read from the device, with a doubled quote straddling chunk ends.
    QByteArray longField(200000, 'x');
    for (int i = 65535; i < longField.size(); i += 65536)
        longField[i] = '"';
    QByteArray quoted = longField;
    quoted.replace("\"", "\"\"");
    const auto records = readAll("a,b\r\n\"" + quoted + "\",end\r\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].fields[0], longField);
    EXPECT_EQ(records[1].fields[1], QByteArray("end"));
}

namespace {

// Hands out its text, then fails as a disk or network file can.
class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(QByteArray text) : m_text(std::move(text)) { open(ReadOnly); }

protected:
    qint64 readData(char* data, qint64 max) override {
        if (m_text.isEmpty()) {
            setErrorString(QStringLiteral("Input/output error"));
            return -1;
        }
        const qint64 n = std::min<qint64>(max, m_text.size());
        std::memcpy(data, m_text.constData(), size_t(n));
        m_text.remove(0, n);
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_text;
};

} // namespace

TEST(CsvReader, AReadErrorIsNotTakenForTheEndOfTheFile) {
    FailingDevice device("a,b\r\n1,2\r\n3,");
    CsvReader reader(device);
    CsvRecord record;
    EXPECT_TRUE(reader.next(record));
    EXPECT_TRUE(reader.next(record));
    try {
        reader.next(record);
        FAIL() << "a failed read ended the file quietly";
    } catch (const CsvError& e) {
        EXPECT_EQ(e.line(), 3);
        EXPECT_TRUE(e.message().contains(QStringLiteral("Input/output error")));
    }
}

TEST(CsvReader, RefusesMalformedQuotingWithItsLine) {
    {
        const CsvError e = errorOf("a,b\r\n1,2\r\n\"open,3\r\n4,5\r\n");
        EXPECT_EQ(e.line(), 3); // where the quote was opened, not the end of the file
        EXPECT_TRUE(e.message().contains(QStringLiteral("never closed")));
    }
    {
        const CsvError e = errorOf("a,b\r\n\"x\"y,2\r\n");
        EXPECT_EQ(e.line(), 2);
        EXPECT_TRUE(e.message().contains(QStringLiteral("after a closing quote")));
    }
    {
        const CsvError e = errorOf("a,b\r\n1,2\r\nab\"c,2\r\n");
        EXPECT_EQ(e.line(), 3);
        EXPECT_TRUE(e.message().contains(QStringLiteral("unquoted")));
    }
    {
        const CsvError e = errorOf("a,b\r1,2\r\n");
        EXPECT_EQ(e.line(), 1);
        EXPECT_TRUE(e.message().contains(QStringLiteral("carriage return")));
    }
}

TEST(CsvReader, RefusesTextThatIsNotUtf8OnTheLineOfTheBadByte) {
    {
        // Latin-1 é inside the third line of a quoted field that starts on line 2.
        const CsvError e = errorOf("a,b\r\nx,\"one\r\ntwo\r\ncaf\xE9\"\r\n");
        EXPECT_EQ(e.line(), 4);
        EXPECT_TRUE(e.message().contains(QStringLiteral("0xe9")));
    }
    EXPECT_EQ(errorOf("a,b\r\n1,2\r\n3,\xC0\xAF\r\n").line(), 3);      // overlong '/'
    EXPECT_EQ(errorOf("a\xED\xA0\x80,b\r\n").line(), 1);               // a surrogate
    EXPECT_EQ(errorOf(QByteArray("a,b\r\n1,2\0x\r\n", 12)).line(), 2); // NUL
}

TEST(Utf8Check, FindsTheFirstInvalidByte) {
    EXPECT_EQ(firstInvalidUtf8("plain"), -1);
    EXPECT_EQ(firstInvalidUtf8("\xF0\x9F\x98\x80 ok \xE2\x80\x99"), -1);
    EXPECT_EQ(firstInvalidUtf8("ab\xE2\x80"), 2);       // cut short at the end
    EXPECT_EQ(firstInvalidUtf8("ab\x80"), 2);           // a lone continuation byte
    EXPECT_EQ(firstInvalidUtf8("\xF4\x90\x80\x80"), 0); // past U+10FFFF
    EXPECT_EQ(firstInvalidUtf8("\xE0\x80\xAF"), 0);     // overlong
}

namespace {

QByteArray writeRecords(const std::vector<CsvRecord>& records) {
    QByteArray out;
    for (const CsvRecord& record : records) {
        for (std::size_t i = 0; i < record.fields.size(); ++i) {
            QByteArray field = record.fields[i];
            out += (i ? "," : "") + ('"' + field.replace("\"", "\"\"") + '"');
        }
        out += "\r\n";
    }
    return out;
}

} // namespace

// Any bytes at all: either refused with a line that exists in the input, or read into records
// that, written back quoted, read the same again.
TEST(CsvReader, EveryInputIsRefusedOnARealLineOrReadsBackTheSame) {
    // Mostly the characters that shape records, with the odd byte that is never valid.
    const char alphabet[] = {'a',    'a',    'a', 'a', 'b',  'b',  ' ',    ',',
                             ',',    ',',    '"', '"', '\r', '\n', '\n',   '\n',
                             '\xC3', '\xA9', 'a', 'b', 'a',  'b',  '\xFF', '\0'};
    std::mt19937 random(2024);
    std::uniform_int_distribution<int> pick(0, sizeof alphabet - 1), length(0, 24);
    int refused = 0;
    for (int round = 0; round < 20000; ++round) {
        QByteArray input;
        for (int n = length(random); n > 0; --n)
            input += alphabet[pick(random)];
        try {
            const auto records = readAll(input);
            const auto again = readAll(writeRecords(records));
            ASSERT_EQ(again.size(), records.size()) << input.toHex().toStdString();
            for (std::size_t i = 0; i < records.size(); ++i)
                ASSERT_EQ(again[i].fields, records[i].fields) << input.toHex().toStdString();
        } catch (const CsvError& e) {
            ++refused;
            ASSERT_GE(e.line(), 1) << input.toHex().toStdString();
            ASSERT_LE(e.line(), input.count('\n') + 1) << input.toHex().toStdString();
        }
    }
    RecordProperty("refused", refused);
    // Both outcomes must actually have been exercised.
    EXPECT_GT(refused, 1000);
    EXPECT_LT(refused, 19000);
}
