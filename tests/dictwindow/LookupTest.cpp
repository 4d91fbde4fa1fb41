// A click on a headword, the proper-name marker and Get New Word.

#include "WindowFixture.h"

#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "richtext/RichTextBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tolvane::test {
namespace {

using data::kingJamesConfig;

const QString kNoRecords = QStringLiteral("Error/0: No Records Found");

class LookupTest : public WindowFixture {
protected:
    void SetUp() override { open(kingJamesConfig(), rows); }
    std::vector<DictRow> rows = sampleRows();
};

TEST_F(LookupTest, AClickShowsTheEntryEnablesEditAndDeleteAndFocusesTheSearchBox) {
    typeKeys(QStringLiteral("ab"));
    const QStringList listed = listItems();
    clickHeadword(QStringLiteral("abide"));
    EXPECT_EQ(c().txtSurname->toPlainText(), QStringLiteral("to wait for"));
    EXPECT_EQ(c().txtForename->text(), QStringLiteral("abide"));
    EXPECT_EQ(c().rtb1->Text(), QStringLiteral("Acts 20:23"));
    EXPECT_TRUE(c().cmdEdit->isEnabled());
    EXPECT_TRUE(c().cmdDelete->isEnabled());
    EXPECT_FALSE(c().cmdsave->isEnabled());
    EXPECT_TRUE(c().cmdAdd->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), c().txtSearch);
    // The list and the search text stay; rs stands on the clicked row.
    EXPECT_EQ(listItems(), listed);
    EXPECT_EQ(c().lstdata->List(c().lstdata->ListIndex()), QStringLiteral("abide"));
    EXPECT_EQ(c().txtSearch->text(), QStringLiteral("ab"));
    EXPECT_EQ(win().rs->Fields(QStringLiteral("field1")).Value().toString(),
              QStringLiteral("abide"));
    EXPECT_TRUE(messageLog().isEmpty());
}

TEST_F(LookupTest, OnlyAScriptureOfExactlyTheMarkerShowsProperName) {
    c().txtSearch->setText(QString());
    clickHeadword(QStringLiteral("BRUIT"));
    EXPECT_EQ(c().rtb1->Text(), QStringLiteral("Proper Name"));
    clickHeadword(QStringLiteral("Chapt"));
    EXPECT_EQ(c().rtb1->Text(), QStringLiteral("Gen. 1 = 2"));
    // The marker stays in the table.
    ASSERT_TRUE(storedRow(QStringLiteral("BRUIT")));
    EXPECT_EQ(storedRow(QStringLiteral("BRUIT"))->scripture.toString(), QStringLiteral("="));
}

TEST_F(LookupTest, AStoredRichTextScriptureShowsFormattedAndStoresBackAsRichText) {
    const QString stored = QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}"
        "\\viewkind4\\uc1\\pard\\f0\\fs20 Ezek. \\b 21:26\\b0; Phil. 4:12\\par\r\n}");
    rows.push_back({QStringLiteral("Abjure"), QStringLiteral("to forswear"), stored});
    open(kingJamesConfig(), rows);
    c().txtSearch->setText(QStringLiteral("abj"));
    clickHeadword(QStringLiteral("Abjure"));
    EXPECT_EQ(c().rtb1->Text(), QStringLiteral("Ezek. 21:26; Phil. 4:12"));
    EXPECT_TRUE(c().rtb1->TextRTF().contains(QStringLiteral("\\b 21:26")));
    EXPECT_TRUE(messageLog().isEmpty());
}

TEST_F(LookupTest, DuplicateHeadwordsAreListedTwiceAndEachShowsItsOwnRow) {
    c().txtSearch->setText(QStringLiteral("bew"));
    ASSERT_EQ(listItems(), (QStringList{QStringLiteral("Bewray"), QStringLiteral("Bewray")}));
    clickItem(1);
    EXPECT_EQ(c().txtSurname->toPlainText(), QStringLiteral("to betray, second"));
    clickItem(0);
    EXPECT_EQ(c().txtSurname->toPlainText(), QStringLiteral("to betray, first"));
}

TEST_F(LookupTest, MissingValuesShowAsEmptyAndQuotesWork) {
    c().txtSearch->setText(QString());
    clickHeadword(QStringLiteral("Aaron's rod"));
    EXPECT_EQ(c().txtSurname->toPlainText(), QStringLiteral("a rod that budded"));
    clickHeadword(QStringLiteral("Dure"));
    EXPECT_EQ(c().txtForename->text(), QStringLiteral("Dure"));
    EXPECT_EQ(c().txtSurname->toPlainText(), QString());
    EXPECT_EQ(c().rtb1->Text(), QString());
    EXPECT_TRUE(messageLog().isEmpty());
}

TEST_F(LookupTest, AClickWhileAddingLoadsTheEntryAndLeavesTheEditorButtons) {
    win().cmdAdd_Click();
    c().txtSearch->setText(QString());
    clickHeadword(QStringLiteral("yonder"));
    EXPECT_EQ(c().txtForename->text(), QStringLiteral("yonder"));
    EXPECT_TRUE(c().cmdEdit->isEnabled());
    EXPECT_TRUE(c().cmdDelete->isEnabled());
    EXPECT_TRUE(c().cmdsave->isEnabled());
    EXPECT_FALSE(c().cmdAdd->isEnabled());
    EXPECT_FALSE(c().cmdend->isEnabled());
    EXPECT_EQ(win().mode(), dictwindow::DictionaryWindow::Mode::Adding);
}

class SpacedHeadwordTest : public WindowFixture {};

TEST_F(SpacedHeadwordTest, AHeadwordStoredWithSpacesIsFoundByItsExactText) {
    open(kingJamesConfig(),
         {{QStringLiteral(" Spaced "), QStringLiteral("with spaces"), QStringLiteral("x")},
          {QStringLiteral("Spacious"), QStringLiteral("roomy"), QStringLiteral("y")}});
    c().txtSearch->setText(QString());
    ASSERT_TRUE(listItems().contains(QStringLiteral(" Spaced ")));
    clickHeadword(QStringLiteral(" Spaced "));
    EXPECT_EQ(c().txtSurname->toPlainText(), QStringLiteral("with spaces"));
    EXPECT_EQ(c().txtForename->text(), QStringLiteral(" Spaced "));
    EXPECT_TRUE(messageLog().isEmpty());
}

TEST_F(SpacedHeadwordTest, ARowGoneBehindTheListSaysNoRecordsFoundAndKeepsTheEntry) {
    open(kingJamesConfig(),
         {{QStringLiteral("Keep"), QStringLiteral("kept"), QStringLiteral("k")},
          {QStringLiteral("Gone"), QStringLiteral("going"), QStringLiteral("g")}});
    c().txtSearch->setText(QString());
    clickHeadword(QStringLiteral("Keep"));
    auto other =
        win().db->OpenRecordset(QStringLiteral("Select * from data1 where field1 = 'Gone'"));
    other->MoveFirst();
    other->Delete();
    resetCounters();
    clickHeadword(QStringLiteral("Gone"));
    EXPECT_EQ(messageLog(), QStringList{kNoRecords});
    EXPECT_EQ(c().txtForename->text(), QStringLiteral("Keep"));
    EXPECT_EQ(c().txtSurname->toPlainText(), QStringLiteral("kept"));
}

class GetNewWordTest : public WindowFixture {};

TEST_F(GetNewWordTest, ClearsTheEntryAndListsTheWholeTableThroughA) {
    const auto rows = sampleRows();
    open(kingJamesConfig(), rows);
    typeKeys(QStringLiteral("br"));
    clickHeadword(QStringLiteral("BRUIT"));
    resetCounters();
    c().Command1->click();
    EXPECT_TRUE(messageLog().isEmpty());
    EXPECT_EQ(listFills(), 1); // the whole table; "a" is only asked whether it finds anything
    EXPECT_EQ(c().txtSearch->text(), QString());
    EXPECT_EQ(listItems(), sortedHeadwords(rows));
    EXPECT_EQ(c().txtForename->text(), QString());
    EXPECT_EQ(c().txtSurname->toPlainText(), QString());
    EXPECT_EQ(c().rtb1->Text(), QString());
    EXPECT_EQ(QApplication::focusWidget(), c().txtSearch);
    EXPECT_TRUE(c().cmdEdit->isEnabled()); // buttons keep their state
    EXPECT_TRUE(c().cmdDelete->isEnabled());
    EXPECT_EQ(win().rs->Type(), engine::dbOpenTable);
}

TEST_F(GetNewWordTest, WithoutHeadwordsBeginningWithAOneMessage) {
    open(data::hitchcockConfig(), {{QStringLiteral("Boaz"), QStringLiteral("in strength")},
                                   {QStringLiteral("Zion"), QStringLiteral("monument")}});
    resetCounters();
    c().Command1->click();
    EXPECT_EQ(messageLog(), QStringList{kNoRecords});
    EXPECT_EQ(listFills(), 1);
    EXPECT_EQ(c().txtSearch->text(), QString());
    EXPECT_EQ(listItems(), (QStringList{QStringLiteral("Boaz"), QStringLiteral("Zion")}));
}

TEST_F(GetNewWordTest, WithAAlreadyTypedOnlyTheWholeTableIsListed) {
    const auto rows = sampleRows();
    open(kingJamesConfig(), rows);
    typeKeys(QStringLiteral("a"));
    resetCounters();
    c().Command1->click();
    EXPECT_EQ(listFills(), 1);
    EXPECT_TRUE(messageLog().isEmpty());
    EXPECT_EQ(listItems(), sortedHeadwords(rows));
}

} // namespace
} // namespace tolvane::test
