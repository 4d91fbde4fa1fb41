// Searching the three reference texts finds exactly the entries an independent scan of the
// same texts finds: 50 words drawn at random, each entry that holds the word as a whole word
// in its headword, definition or scripture, ignoring case and accents.

#include "data/DataOperations.h"
#include "engine/FullTextQuery.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"
#include "find/DictionaryIndex.h"
#include "import/CsvImport.h"
#include "support/TestSupport.h"

#include <QSet>
#include <map>
#include <random>
#include <set>

using namespace tolvane;

namespace {

// Words as the scan sees them: runs of letters and digits, accents taken off, case folded.
QStringList wordsOf(const QString& text) {
    QString plain;
    for (QChar c : text.normalized(QString::NormalizationForm_D))
        if (!c.isMark())
            plain += c;
    QStringList words;
    QString word;
    for (QChar c : plain.toCaseFolded()) {
        if (c.isLetterOrNumber()) {
            word += c;
        } else if (!word.isEmpty()) {
            words << word;
            word.clear();
        }
    }
    if (!word.isEmpty())
        words << word;
    return words;
}

struct Text {
    const data::DictionaryConfig* dictionary;
    QString file;
};

TEST(RealTextSearch, FiftyRandomWordsFindWhatAScanFinds) {
    TOLVANE_REQUIRE_SHARED(folder, "data");
    const std::vector<Text> texts{{&data::kingJamesConfig(), "kjv_archaic.csv"},
                                  {&data::eastonsConfig(), "eastons.csv"},
                                  {&data::hitchcockConfig(), "hitchcock.csv"}};
    QTemporaryDir dir;
    // Per dictionary: the row ids holding each word, read from the table, not the index.
    std::map<const data::DictionaryConfig*, std::map<QString, std::set<qint64>>> scan;
    std::set<QString> vocabulary;
    for (const Text& t : texts) {
        import::CsvImportRequest request;
        request.dictionary = t.dictionary;
        request.input = folder + "/" + t.file;
        request.output = data::dictionaryPath(*t.dictionary, dir.path());
        import::importCsv(request);
        engine::sqlite::Connection db(request.output, engine::sqlite::OpenMode::ReadOnly);
        engine::sqlite::Statement rows(db, "SELECT rowid, * FROM " + t.dictionary->table);
        while (rows.step())
            for (int column = 1; column < rows.columnCount(); ++column)
                for (const QString& word : wordsOf(rows.columnText(column))) {
                    scan[t.dictionary][word].insert(rows.columnInt64(0));
                    if (word.size() >= 3 && word.front().isLetter())
                        vocabulary.insert(word);
                }
    }
    const std::vector<QString> words(vocabulary.begin(), vocabulary.end());
    std::mt19937 random(20261207);
    std::uniform_int_distribution<size_t> pick(0, words.size() - 1);
    for (int n = 0; n < 50; ++n) {
        const QString word = words[pick(random)];
        // Typed in capitals every other time: case must not matter.
        const QString typed = n % 2 ? word.toUpper() : word;
        SCOPED_TRACE(typed.toStdString());
        for (const Text& t : texts) {
            find::DictionaryIndex index(*t.dictionary, dir.path());
            ASSERT_TRUE(index.isPrepared()); // the import built it
            const QString query = engine::translateFullTextQuery(typed).match;
            std::set<qint64> rowids;
            for (const auto& entry : index.search(query, 0, 1'000'000))
                rowids.insert(entry.rowid);
            const std::set<qint64>& expected = scan[t.dictionary][word];
            EXPECT_EQ(index.count(query), int(expected.size())) << t.file.toStdString();
            EXPECT_EQ(rowids, expected) << t.file.toStdString();
        }
    }
}

} // namespace

namespace {

// In Moses' long entry the words of this phrase stand apart many times before it does whole;
// typed between typographic quotation marks it is a phrase all the same.
TEST(RealTextSearch, APhraseSnippetMarksThePhraseWhereItStands) {
    TOLVANE_REQUIRE_SHARED(folder, "data");
    QTemporaryDir dir;
    import::CsvImportRequest request;
    request.dictionary = &data::eastonsConfig();
    request.input = folder + "/eastons.csv";
    request.output = data::dictionaryPath(data::eastonsConfig(), dir.path());
    import::importCsv(request);
    find::DictionaryIndex index(data::eastonsConfig(), dir.path());
    const auto found = index.search(
        engine::translateFullTextQuery(u"\u201cassured that God would bless\u201d").match, 0, 10);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].headword, "Moses");
    const QString& snippet = found[0].snippet;
    EXPECT_EQ(snippet.count(find::kMatchStart), 1) << snippet.toStdString();
    EXPECT_TRUE(snippet.contains(QString(find::kMatchStart) + "assured that God would bless" +
                                 find::kMatchEnd))
        << snippet.toStdString();
}

} // namespace
