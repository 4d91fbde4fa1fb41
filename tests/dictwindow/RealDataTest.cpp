// End to end on the real dictionary texts: each CSV imported into its dictionary file, every
// two-letter prefix searched, and random headwords looked up, against an independent reading
// of the CSV.

#include "WindowFixture.h"

#include "dictwindow/SearchBox.h"
#include "import/CsvImport.h"
#include "richtext/RichTextBox.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSet>
#include <random>

namespace tolvane::test {
namespace {

// A plain RFC 4180 reader, written for the test so that the expectations do not come from the
// import's own parser.
std::vector<QStringList> readCsv(const QString& path) {
    const QString text = QString::fromUtf8(readFile(path));
    std::vector<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (quoted) {
            if (ch == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (ch == u'"') {
                quoted = false;
            } else {
                field += ch;
            }
        } else if (ch == u'"') {
            quoted = true;
        } else if (ch == u',') {
            record << field;
            field.clear();
        } else if (ch == u'\n' || ch == u'\r') {
            if (ch == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            record << field;
            field.clear();
            records.push_back(record);
            record.clear();
        } else {
            field += ch;
        }
    }
    if (!field.isEmpty() || !record.isEmpty()) {
        record << field;
        records.push_back(record);
    }
    return records;
}

QString withoutCarriageReturns(QString text) {
    return text.remove(u'\r');
}

struct Case {
    const char* csv;
    const data::DictionaryConfig* config;
};

void PrintTo(const Case& k, std::ostream* os) {
    *os << k.csv;
}

class RealDataTest : public WindowFixture, public ::testing::WithParamInterface<Case> {};

TEST_P(RealDataTest, EveryTwoLetterPrefixAndHundredLookupsMatchTheCsv) {
    const Case k = GetParam();
    TOLVANE_REQUIRE_SHARED(csv, QStringLiteral("data/") + QString::fromLatin1(k.csv));
    import::CsvImportRequest request;
    request.dictionary = k.config;
    request.input = csv;
    request.output = dir.filePath(k.config->fileName);
    import::importCsv(request);

    const auto records = readCsv(csv);
    ASSERT_GT(records.size(), 1u);
    std::vector<QStringList> rows(records.begin() + 1, records.end());
    load(*k.config);

    // Every two-letter prefix that occurs, typed into the box.
    QSet<QString> prefixes;
    for (const auto& r : rows)
        if (r[0].size() >= 2)
            prefixes.insert(r[0].left(2).toLower());
    QStringList ordered(prefixes.begin(), prefixes.end());
    ordered.sort();
    int searched = 0;
    for (const QString& prefix : ordered) {
        if (prefix.contains(QRegularExpression(QStringLiteral("[*?#\\[]"))))
            continue; // pattern characters: not a plain prefix
        QStringList expected;
        for (const auto& r : rows)
            if (r[0].startsWith(prefix, Qt::CaseInsensitive))
                expected << r[0];
        c().txtSearch->setText(prefix);
        EXPECT_EQ(listItems(), listOrderSorted(expected)) << "prefix " << prefix.toStdString();
        ++searched;
    }
    EXPECT_GE(searched, 5);
    EXPECT_TRUE(messageLog().isEmpty()) << messageLog().join(u'\n').toStdString();

    // A hundred random headwords clicked in the whole list.
    c().txtSearch->setText(QString());
    std::mt19937 random(20261207);
    std::uniform_int_distribution<size_t> pick(0, rows.size() - 1);
    for (int i = 0; i < 100; ++i) {
        const QString headword = rows[pick(random)][0];
        const QStringList* first = nullptr;
        for (const auto& r : rows)
            if (r[0].compare(headword, Qt::CaseInsensitive) == 0) {
                first = &r;
                break;
            }
        clickHeadword(headword);
        EXPECT_EQ(c().txtForename->text(), (*first)[0]);
        EXPECT_EQ(withoutCarriageReturns(c().txtSurname->toPlainText()),
                  withoutCarriageReturns((*first)[1]))
            << headword.toStdString();
        if (k.config->hasScripture()) {
            const QString scripture = (*first)[2];
            EXPECT_EQ(withoutCarriageReturns(c().rtb1->Text()),
                      scripture == QStringLiteral("=") ? QStringLiteral("Proper Name")
                                                       : withoutCarriageReturns(scripture))
                << headword.toStdString();
        }
    }
    EXPECT_TRUE(messageLog().isEmpty()) << messageLog().join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(SharedTexts, RealDataTest,
                         ::testing::Values(Case{"kjv_archaic.csv", &data::kingJamesConfig()},
                                           Case{"eastons.csv", &data::eastonsConfig()},
                                           Case{"hitchcock.csv", &data::hitchcockConfig()}),
                         [](const auto& param) {
                             return param.param.config->windowName.toStdString();
                         });

} // namespace
} // namespace tolvane::test
