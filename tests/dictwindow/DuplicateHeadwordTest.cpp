// Headwords held by several rows: the k-th equal list item shows the k-th of those rows, in
// row id order, in the whole list and in a prefix list alike; Edit and Delete act on the
// row shown.

#include "WindowFixture.h"

#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tolvane::test {
namespace {

class DuplicateHeadwordTest : public WindowFixture, public ::testing::WithParamInterface<QString> {
protected:
    void SetUp() override {
        const auto& cfg = data::hitchcockConfig();
        writeDictionaryFile(dir.path(), cfg,
                            {{QStringLiteral("Abel"), QStringLiteral("vanity")},     // id 1
                             {QStringLiteral("ABEL"), QStringLiteral("shouted")},    // id 2
                             {QStringLiteral("Abel"), QStringLiteral("mourning")},   // id 3
                             {QStringLiteral("Adah"), QStringLiteral("ornament")},   // id 4
                             {QStringLiteral("Abel"), QStringLiteral("a meadow")}}); // id 5
        // Row ids out of the order the rows were written in: the first row becomes the last.
        engine::sqlite::Connection file(QDir(dir.path()).filePath(cfg.fileName),
                                        engine::sqlite::OpenMode::ReadWrite);
        file.exec(QStringLiteral("UPDATE %1 SET rowid = 10 WHERE rowid = 1")
                      .arg(engine::quoteIdentifier(cfg.table)));
        load(cfg);
        c().txtSearch->setText(GetParam()); // the whole list, or a prefix list
    }
    QStringList shownForEachAbel() {
        QStringList shown;
        for (int i = 0; i < c().lstdata->ListCount(); ++i) {
            if (c().lstdata->List(i) != QStringLiteral("Abel"))
                continue;
            clickItem(i);
            shown << c().txtSurname->toPlainText();
        }
        return shown;
    }
};

TEST_P(DuplicateHeadwordTest, TheKthEqualItemShowsTheKthRowByRowId) {
    EXPECT_EQ(shownForEachAbel(),
              (QStringList{QStringLiteral("mourning"), QStringLiteral("a meadow"),
                           QStringLiteral("vanity")}));
    clickHeadword(QStringLiteral("ABEL")); // equal but for letter case: its own row
    EXPECT_EQ(c().txtSurname->toPlainText(), QStringLiteral("shouted"));
    EXPECT_TRUE(messageLog().isEmpty());
}

TEST_P(DuplicateHeadwordTest, ChoosingAnItemByOccurrenceShowsThatRow) {
    EXPECT_TRUE(win().chooseListItem(QStringLiteral("Abel"), 1));
    EXPECT_EQ(c().txtSurname->toPlainText(), QStringLiteral("a meadow"));
    EXPECT_EQ(c().lstdata->List(c().lstdata->ListIndex()), QStringLiteral("Abel"));
    EXPECT_EQ(c().lstdata->occurrenceAt(c().lstdata->ListIndex()), 1);
    EXPECT_FALSE(win().chooseListItem(QStringLiteral("Abel"), 3));
    EXPECT_EQ(c().txtSurname->toPlainText(), QStringLiteral("a meadow"));
}

TEST_P(DuplicateHeadwordTest, EditAndDeleteActOnTheShownRow) {
    ASSERT_TRUE(win().chooseListItem(QStringLiteral("Abel"), 2));
    c().cmdEdit->click();
    c().txtSurname->setPlainText(QStringLiteral("a breath"));
    c().cmdsave->click();
    ASSERT_TRUE(storedRow(QStringLiteral("Adah")));
    QStringList definitions;
    for (const auto& r : storedRows())
        definitions << r.definition.toString();
    EXPECT_TRUE(definitions.contains(QStringLiteral("a breath")));
    EXPECT_FALSE(definitions.contains(QStringLiteral("vanity")));

    c().txtSearch->setText(GetParam());
    ASSERT_TRUE(win().chooseListItem(QStringLiteral("Abel"), 0));
    fakes.messages->queueAnswer(platform::AnswerYes);
    c().cmdDelete->click();
    definitions.clear();
    for (const auto& r : storedRows())
        definitions << r.definition.toString();
    definitions.sort();
    EXPECT_EQ(definitions, (QStringList{QStringLiteral("a breath"), QStringLiteral("a meadow"),
                                        QStringLiteral("ornament"), QStringLiteral("shouted")}));
}

INSTANTIATE_TEST_SUITE_P(WholeAndPrefixList, DuplicateHeadwordTest,
                         ::testing::Values(QString(), QStringLiteral("ab")));

} // namespace
} // namespace tolvane::test
