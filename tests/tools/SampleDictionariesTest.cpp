// The sample dictionaries: their sources hold the cases the program must show (so a fresh
// build can exercise them by hand), and the build has put exactly those rows into the
// application folder.
#include "ImportTestSupport.h"
#include "references/EntryPointers.h"
#include "references/ReferenceFinder.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <gtest/gtest.h>

using namespace tolvane;

namespace {

struct Sample {
    const char* source;
    const data::DictionaryConfig& (*config)();
};
const Sample kSamples[] = {{"kjv.csv", &data::kingJamesConfig},
                           {"eastons.csv", &data::eastonsConfig},
                           {"hitchcock.csv", &data::hitchcockConfig}};

QString sourcePath(const Sample& s) {
    return test::sourceDir() + QStringLiteral("/sample/") + QString::fromLatin1(s.source);
}

} // namespace

TEST(SampleDictionaries, SourcesHoldTheCasesTheWindowsMustShow) {
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.source);
        const data::DictionaryConfig& config = s.config();
        const auto records = test::csvRecords(sourcePath(s));
        ASSERT_GE(records.size(), 2u);
        const test::Row& header = records.front();
        const auto column = [&](const QString& name) {
            return std::find(header.begin(), header.end(), name.toUtf8()) - header.begin();
        };
        const auto headword = column(config.headwordColumn);
        const auto definition = column(config.definitionColumn);
        ASSERT_LT(static_cast<std::size_t>(headword), header.size());
        ASSERT_LT(static_cast<std::size_t>(definition), header.size());

        const std::size_t entries = records.size() - 1;
        EXPECT_GE(entries, 40u);
        EXPECT_LE(entries, 80u);

        QSet<QString> exact;
        QSet<QString> folded;
        bool duplicate = false, caseOnly = false, nonAscii = false, longWithBreaks = false;
        for (std::size_t i = 1; i < records.size(); ++i) {
            const QString word = QString::fromUtf8(records[i][headword]);
            const QString text = QString::fromUtf8(records[i][definition]);
            EXPECT_FALSE(word.isEmpty());
            EXPECT_FALSE(text.isEmpty()) << word.toStdString();
            EXPECT_EQ(word.trimmed(), word);
            EXPECT_FALSE(word.contains(QLatin1Char('\''))) << word.toStdString();
            duplicate = duplicate || exact.contains(word);
            caseOnly = caseOnly || (!exact.contains(word) && folded.contains(word.toCaseFolded()));
            nonAscii = nonAscii || std::any_of(word.begin(), word.end(),
                                               [](QChar c) { return c.unicode() > 0x7F; });
            longWithBreaks = longWithBreaks || (text.size() > 200 && text.contains("\r\n"));
            exact.insert(word);
            folded.insert(word.toCaseFolded());
        }
        EXPECT_TRUE(duplicate) << "two rows with one headword";
        EXPECT_TRUE(caseOnly) << "headwords that differ only in case";
        EXPECT_TRUE(nonAscii) << "a headword with non-ASCII letters";
        EXPECT_TRUE(longWithBreaks) << "a long definition with line breaks";
        EXPECT_TRUE(std::any_of(exact.begin(), exact.end(), [](const QString& w) {
            return w.startsWith(QLatin1Char('a'), Qt::CaseInsensitive);
        })) << "Get New Word lists the headwords that begin with a";

        if (config.hasScripture()) {
            const auto scripture = column(config.scriptureColumn);
            int properNames = 0, rich = 0, plain = 0;
            for (std::size_t i = 1; i < records.size(); ++i) {
                const QByteArray value = records[i][scripture];
                if (value == "=")
                    ++properNames;
                else if (value.startsWith("{\\rtf1"))
                    ++rich;
                else if (!value.isEmpty())
                    ++plain;
            }
            EXPECT_GE(properNames, 1);
            EXPECT_GE(rich, 1);
            EXPECT_GE(plain, 1);
        }
    }
}

TEST(SampleDictionaries, TheBuildPutsTheirRowsIntoTheApplicationFolder) {
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.source);
        const data::DictionaryConfig& config = s.config();
        const QString built = test::appDir() + config.pathSuffix;
        ASSERT_TRUE(QFileInfo(built).isFile()) << built.toStdString() << " was not built";

        auto records = test::csvRecords(sourcePath(s));
        QStringList columns;
        for (const QByteArray& c : records.front())
            columns << QString::fromUtf8(c);
        records.erase(records.begin());
        EXPECT_EQ(test::storedRows(built, config.table, columns), records);
    }
}

// A new user meets links first in the Easton's sample: its entries cite Scripture and point to
// one another, and every pointer names one of its own headwords.
TEST(SampleDictionaries, EastonsSampleShowsReferencesAndPointers) {
    const auto records = test::csvRecords(sourcePath(kSamples[1]));
    QHash<QString, QString> headwords; // folded -> as stored
    for (std::size_t i = 1; i < records.size(); ++i) {
        const QString word = QString::fromUtf8(records[i][0]);
        headwords.insert(word.toCaseFolded(), word);
    }
    const auto lookup = [&](const QString& name) { return headwords.value(name.toCaseFolded()); };
    int entriesWithReferences = 0, pointers = 0;
    QStringList cited;
    for (std::size_t i = 1; i < records.size(); ++i) {
        const QString word = QString::fromUtf8(records[i][0]);
        const QString text = QString::fromUtf8(records[i][1]);
        const auto spans = references::findReferences(text, word);
        entriesWithReferences += spans.empty() ? 0 : 1;
        for (const auto& s : spans)
            if (word == u"Melchizedek")
                cited << references::displayName(s.range);
        const auto found = references::findEntryPointers(text, lookup);
        pointers += int(found.size());
        // A "(See X.)" that names no headword would show as plain text: a broken sample.
        EXPECT_EQ(qsizetype(found.size()),
                  text.count(QStringLiteral("(See ")) + text.count(QStringLiteral("(q.v.)")))
            << word.toStdString();
    }
    EXPECT_GE(entriesWithReferences, 12);
    EXPECT_GE(pointers, 8);
    EXPECT_TRUE(cited.contains(QStringLiteral("Genesis 14:18-20")))
        << cited.join(", ").toStdString();
}
