// The hidden record editor: the control states after each operation, the check, the
// confirmation, and what reaches the table.

#include "WindowFixture.h"

#include "data/DataOperations.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "richtext/RichTextBox.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tolvane::test {
namespace {

using Mode = dictwindow::DictionaryWindow::Mode;
using W = dictwindow::DictionaryWindow;

const QString kCheck = QStringLiteral("Error/16: All Fields Must Contain Data");
const QString kConfirm =
    QStringLiteral("Delete Record/4: Are You Sure You Want To Delete This Record");

// Everything the editor's table of states speaks of.
struct State {
    bool add, edit, del, save, cancel, end;
    bool boxesEnabled;
    QString headword, definition, scripture, search;
    Mode mode;
    bool operator==(const State&) const = default;
};

std::ostream& operator<<(std::ostream& os, const State& s) {
    return os << "add=" << s.add << " edit=" << s.edit << " delete=" << s.del << " save=" << s.save
              << " cancel=" << s.cancel << " end=" << s.end << " boxes=" << s.boxesEnabled
              << " headword='" << s.headword.toStdString() << "' definition='"
              << s.definition.toStdString() << "' scripture='" << s.scripture.toStdString()
              << "' search='" << s.search.toStdString() << "' mode=" << int(s.mode);
}

class EditorTest : public WindowFixture {
protected:
    void openWith(const data::DictionaryConfig& config) {
        std::vector<DictRow> r;
        for (const auto& row : rows)
            r.push_back(
                {row.headword, row.definition, config.hasScripture() ? row.scripture : QVariant()});
        open(config, r);
    }
    std::vector<DictRow> rows{
        {QStringLiteral("Alpha"), QStringLiteral("first"), QStringLiteral("Rev. 1:8")},
        {QStringLiteral("Beta"), QStringLiteral("second"), QStringLiteral("=")},
        {QStringLiteral("Gamma"), QStringLiteral("third"), QStringLiteral("Gen. 3")}};

    State state() {
        const bool sameEnabled = c().txtForename->isEnabled() == c().txtSurname->isEnabled();
        EXPECT_TRUE(sameEnabled);
        return {c().cmdAdd->isEnabled(),       c().cmdEdit->isEnabled(),
                c().cmdDelete->isEnabled(),    c().cmdsave->isEnabled(),
                c().cmdcancel->isEnabled(),    c().cmdend->isEnabled(),
                c().txtForename->isEnabled(),  c().txtForename->text(),
                c().txtSurname->toPlainText(), c().rtb1 ? c().rtb1->Text() : QString(),
                c().txtSearch->text(),         win().mode()};
    }
    void click(QPushButton* button) { button->click(); }
    void fillBoxes(const QString& headword, const QString& definition, const QString& scripture) {
        c().txtForename->setText(headword);
        c().txtSurname->setPlainText(definition);
        if (c().rtb1)
            c().rtb1->setText(scripture);
    }
    QStringList storedHeadwords() {
        QStringList words;
        for (const auto& r : storedRows())
            words << r.headword.toString();
        return listOrderSorted(words);
    }
};

TEST_F(EditorTest, EveryOperationLeavesTheControlsAsTheStateTableSays) {
    openWith(data::kingJamesConfig());
    const QString prompt = QStringLiteral("Enter word here...");
    // Window loaded.
    EXPECT_EQ(
        state(),
        (State{true, false, false, false, false, true, true, {}, {}, {}, prompt, Mode::Browse}));
    EXPECT_TRUE(c().txtForename->isReadOnly());
    EXPECT_TRUE(c().txtSurname->isReadOnly());
    // List click.
    typeKeys(QStringLiteral("al"));
    clickHeadword(QStringLiteral("Alpha"));
    EXPECT_EQ(state(), (State{true, true, true, false, false, true, true, QStringLiteral("Alpha"),
                              QStringLiteral("first"), QStringLiteral("Rev. 1:8"),
                              QStringLiteral("al"), Mode::Browse}));
    // Add New: boxes emptied and on; search box untouched.
    click(c().cmdAdd);
    EXPECT_EQ(state(), (State{false,
                              false,
                              false,
                              true,
                              true,
                              false,
                              true,
                              {},
                              {},
                              {},
                              QStringLiteral("al"),
                              Mode::Adding}));
    EXPECT_TRUE(c().Command1->isEnabled());
    // Cancel: emptied, off, browse.
    click(c().cmdcancel);
    EXPECT_EQ(state(),
              (State{true, false, false, false, false, true, false, {}, {}, {}, {}, Mode::Browse}));
    // Edit keeps the shown entry.
    clickHeadword(QStringLiteral("Gamma"));
    click(c().cmdEdit);
    EXPECT_EQ(state(), (State{false,
                              false,
                              false,
                              true,
                              true,
                              false,
                              true,
                              QStringLiteral("Gamma"),
                              QStringLiteral("third"),
                              QStringLiteral("Gen. 3"),
                              {},
                              Mode::Editing}));
    // A failed check changes nothing.
    c().txtSurname->setPlainText(QString());
    const State beforeCheck = state();
    click(c().cmdsave);
    EXPECT_EQ(messageLog(), QStringList{kCheck});
    EXPECT_EQ(state(), beforeCheck);
    // Store by Save.
    c().txtSurname->setPlainText(QStringLiteral("third, revised"));
    click(c().cmdsave);
    EXPECT_EQ(state(),
              (State{true, false, false, false, false, true, false, {}, {}, {}, {}, Mode::Browse}));
    // Delete answered No changes nothing; Yes deletes and leaves Edit/Delete on.
    clickHeadword(QStringLiteral("Beta"));
    const State beforeNo = state();
    fakes.messages->queueAnswer(7);
    click(c().cmdDelete);
    EXPECT_EQ(state(), beforeNo);
    EXPECT_EQ(win().messageAnswer(), 7);
    EXPECT_EQ(storedCount(), 3);
    fakes.messages->queueAnswer(6);
    click(c().cmdDelete);
    EXPECT_EQ(state(),
              (State{true, true, true, false, false, true, false, {}, {}, {}, {}, Mode::Browse}));
    EXPECT_EQ(win().messageAnswer(), 6);
    EXPECT_EQ(storedHeadwords(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Gamma")}));
    EXPECT_EQ(listItems(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Gamma")}));
    EXPECT_EQ(messageLog(), (QStringList{kCheck, kConfirm, kConfirm}));
}

// Cancel after an entry was chosen lists the whole table again in place of the chosen row's
// set: every row is listed, and each item still shows and deletes its own row.
TEST_F(EditorTest, CancelAfterAChoiceListsEveryRowAndItsItemsStillReachTheirRows) {
    openWith(data::kingJamesConfig());
    clickHeadword(QStringLiteral("Beta"));
    click(c().cmdEdit);
    click(c().cmdcancel);
    EXPECT_EQ(listItems(), (QStringList{"Alpha", "Beta", "Gamma"}));
    clickHeadword(QStringLiteral("Gamma"));
    EXPECT_EQ(c().txtSurname->toPlainText(), QStringLiteral("third"));
    fakes.messages->queueAnswer(6);
    click(c().cmdDelete);
    EXPECT_EQ(listItems(), (QStringList{"Alpha", "Beta"}));
    EXPECT_EQ(storedHeadwords(), (QStringList{"Alpha", "Beta"}));
}

TEST_F(EditorTest, DeleteInAddingModeKeepsEndDisabledUntilAStoreOrCancel) {
    openWith(data::kingJamesConfig());
    c().txtSearch->setText(QString());
    click(c().cmdAdd);
    clickHeadword(QStringLiteral("Alpha"));
    fakes.messages->queueAnswer(6);
    click(c().cmdDelete);
    EXPECT_EQ(state(),
              (State{true, true, true, false, false, false, false, {}, {}, {}, {}, Mode::Adding}));
    click(c().cmdAdd);
    click(c().cmdcancel);
    EXPECT_TRUE(c().cmdend->isEnabled());
}

TEST_F(EditorTest, EachEmptyBoxInTurnFailsTheCheckAndStoresNothing) {
    for (const auto* config : data::allConfigs()) {
        SCOPED_TRACE(config->windowName.toStdString());
        openWith(*config);
        click(c().cmdAdd);
        const std::pair<QString, QString> cases[] = {{{}, QStringLiteral("def")},
                                                     {QStringLiteral("word"), {}}};
        for (const auto& [headword, definition] : cases) {
            fillBoxes(headword, definition, QStringLiteral("Ps. 1"));
            resetCounters();
            const State before = state();
            click(c().cmdsave);
            EXPECT_EQ(messageLog(), QStringList{kCheck});
            EXPECT_EQ(win().messageAnswer(), 1);
            EXPECT_EQ(state(), before);
            EXPECT_EQ(storedCount(), 3);
        }
        // An empty scripture box still gives a document and passes.
        fillBoxes(QStringLiteral("Delta"), QStringLiteral("fourth"), QString());
        resetCounters();
        click(c().cmdsave);
        EXPECT_TRUE(messageLog().isEmpty());
        EXPECT_EQ(storedCount(), 4);
    }
}

TEST_F(EditorTest, SpacesOnlyPassTheCheckAndAreStoredAsTyped) {
    openWith(data::kingJamesConfig());
    click(c().cmdAdd);
    fillBoxes(QStringLiteral("  Spaced  "), QStringLiteral("   "), QStringLiteral(" "));
    click(c().cmdsave);
    EXPECT_TRUE(messageLog().isEmpty());
    const auto row = storedRow(QStringLiteral("  Spaced  "));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->definition.toString(), QStringLiteral("   "));
    EXPECT_TRUE(row->scripture.toString().startsWith(QStringLiteral("{\\rtf")));
    EXPECT_TRUE(listItems().contains(QStringLiteral("  Spaced  ")));
}

TEST_F(EditorTest, AddThenEditChangesTheClickedRowAndAddsNoSecond) {
    openWith(data::kingJamesConfig());
    typeKeys(QStringLiteral("g"));
    click(c().cmdAdd);
    fillBoxes(QStringLiteral("Omega"), QStringLiteral("last"), QStringLiteral("Rev. 22:13"));
    click(c().cmdsave); // adds through the prefix query's rs: the row goes into the table
    EXPECT_EQ(storedCount(), 4);
    EXPECT_EQ(listItems().size(), 4);
    clickHeadword(QStringLiteral("Omega"));
    EXPECT_EQ(c().rtb1->Text(), QStringLiteral("Rev. 22:13"));
    click(c().cmdEdit);
    c().txtForename->setText(QStringLiteral("Omega2"));
    click(c().cmdsave);
    EXPECT_EQ(storedHeadwords(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Beta"),
                                              QStringLiteral("Gamma"), QStringLiteral("Omega2")}));
    // The scripture column holds markup that loads back to the same text.
    c().txtSearch->setText(QStringLiteral("omega"));
    clickHeadword(QStringLiteral("Omega2"));
    EXPECT_EQ(c().rtb1->Text(), QStringLiteral("Rev. 22:13"));
    ASSERT_TRUE(storedRow(QStringLiteral("Omega2")));
    EXPECT_TRUE(storedRow(QStringLiteral("Omega2"))
                    ->scripture.toString()
                    .startsWith(QStringLiteral("{\\rtf")));
}

TEST_F(EditorTest, EditingTheProperNameWritesTheShownWordsNotTheMarker) {
    openWith(data::kingJamesConfig());
    c().txtSearch->setText(QString());
    clickHeadword(QStringLiteral("Beta"));
    click(c().cmdEdit);
    click(c().cmdsave);
    clickHeadword(QStringLiteral("Beta"));
    EXPECT_EQ(c().rtb1->Text(), QStringLiteral("Proper Name"));
    ASSERT_TRUE(storedRow(QStringLiteral("Beta")));
    EXPECT_TRUE(storedRow(QStringLiteral("Beta"))
                    ->scripture.toString()
                    .startsWith(QStringLiteral("{\\rtf")));
}

TEST_F(EditorTest, AStoreCancelOrDeleteListsTheTableTwiceWithSearchTextAndOnceWithout) {
    openWith(data::kingJamesConfig());
    for (const QString& search : QStringList{QStringLiteral("a"), QString()}) {
        SCOPED_TRACE("search text '" + search.toStdString() + "'");
        const int expectedFills = search.isEmpty() ? 1 : 2;
        auto check = [&] {
            EXPECT_EQ(listFills(), expectedFills);
            EXPECT_EQ(c().txtSearch->text(), QString());
            EXPECT_EQ(listItems(), storedHeadwords());
        };
        c().txtSearch->setText(search);
        click(c().cmdAdd);
        resetCounters();
        click(c().cmdcancel);
        check();

        c().txtSearch->setText(search);
        click(c().cmdAdd);
        fillBoxes(QStringLiteral("Azeta"), QStringLiteral("z"), QStringLiteral("s"));
        resetCounters();
        click(c().cmdsave);
        check();
        EXPECT_TRUE(listItems().contains(QStringLiteral("Azeta")));

        c().txtSearch->setText(search);
        clickHeadword(QStringLiteral("Azeta"));
        fakes.messages->queueAnswer(6);
        resetCounters();
        click(c().cmdDelete);
        check();
        EXPECT_FALSE(listItems().contains(QStringLiteral("Azeta")));
    }
}

TEST_F(EditorTest, EditOrDeleteWithoutACurrentRowReportsTheEnginesErrorAndChangesNothing) {
    openWith(data::kingJamesConfig());
    c().txtSearch->setText(QString());
    clickHeadword(QStringLiteral("Alpha"));
    c().Command1->click(); // relists: rs stands on no row, Edit and Delete stay enabled
    const auto before = storedRows();
    resetCounters();
    click(c().cmdEdit);
    fillBoxes(QStringLiteral("Changed"), QStringLiteral("changed"), QStringLiteral("c"));
    click(c().cmdsave);
    ASSERT_EQ(messageCount(), 1);
    EXPECT_EQ(fakes.messages->calls[0].title, QStringLiteral("Tolvane"));
    EXPECT_TRUE(fakes.messages->calls[0].text.contains(QStringLiteral("3021")))
        << fakes.messages->calls[0].text.toStdString();
    EXPECT_EQ(win().mode(), Mode::Editing); // stopped at the failing step
    click(c().cmdcancel);
    clickHeadword(QStringLiteral("Beta"));
    c().Command1->click();
    resetCounters();
    fakes.messages->queueAnswer(6);
    click(c().cmdDelete);
    ASSERT_EQ(messageCount(), 2);
    EXPECT_EQ(fakes.messages->calls[1].title, QStringLiteral("Tolvane"));
    const auto after = storedRows();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].headword, before[i].headword);
        EXPECT_EQ(after[i].definition, before[i].definition);
        EXPECT_EQ(after[i].scripture, before[i].scripture);
    }
}

TEST_F(EditorTest, SaveInBrowseModeDoesNothingAndDisabledOrHiddenButtonsStayHidden) {
    openWith(data::kingJamesConfig());
    win().cmdsave_Click();
    EXPECT_EQ(storedCount(), 3);
    EXPECT_TRUE(messageLog().isEmpty());
    for (QPushButton* b :
         {c().cmdAdd, c().cmdDelete, c().cmdEdit, c().cmdend, c().cmdsave, c().cmdcancel}) {
        EXPECT_FALSE(b->isVisible()) << b->objectName().toStdString();
    }
    EXPECT_TRUE(c().Command1->isVisible());
    click(c().cmdDelete); // disabled: the click does nothing
    EXPECT_TRUE(messageLog().isEmpty());
    for (int i = 0; i < 3; ++i) { // every operation keeps them hidden
        click(c().cmdAdd);
        click(c().cmdcancel);
    }
    EXPECT_FALSE(c().cmdAdd->isVisible());
}

TEST_F(EditorTest, EastonsAndHitchcockStoreTwoColumnsAndShowEqualsAsIs) {
    for (const auto* config : {&data::eastonsConfig(), &data::hitchcockConfig()}) {
        SCOPED_TRACE(config->windowName.toStdString());
        rows = {{QStringLiteral("Eq"), QStringLiteral("="), QVariant()}};
        openWith(*config);
        EXPECT_EQ(c().rtb1, nullptr);
        EXPECT_EQ(c().Label3, nullptr);
        c().txtSearch->setText(QString());
        clickHeadword(QStringLiteral("Eq"));
        EXPECT_EQ(c().txtSurname->toPlainText(), QStringLiteral("="));
        click(c().cmdAdd);
        fillBoxes(QStringLiteral("New"), QStringLiteral("newer"), QString());
        click(c().cmdsave);
        EXPECT_TRUE(messageLog().isEmpty());
        EXPECT_EQ(storedHeadwords(), (QStringList{QStringLiteral("Eq"), QStringLiteral("New")}));
        clickHeadword(QStringLiteral("New"));
        click(c().cmdEdit);
        c().txtSurname->setPlainText(QStringLiteral("newest"));
        click(c().cmdsave);
        ASSERT_TRUE(storedRow(QStringLiteral("New")));
        EXPECT_EQ(storedRow(QStringLiteral("New"))->definition.toString(),
                  QStringLiteral("newest"));
        resetCounters();
    }
}

} // namespace
} // namespace tolvane::test

namespace tolvane::test {
namespace {

// Two rows share a headword: the click shows the first, and Edit with Save, or Delete, act
// on that row alone.
class DuplicateHeadwordEditTest : public WindowFixture {
protected:
    void SetUp() override {
        open(data::hitchcockConfig(), {{QStringLiteral("Abel"), QStringLiteral("vanity")},
                                       {QStringLiteral("Abel"), QStringLiteral("mourning")},
                                       {QStringLiteral("Adah"), QStringLiteral("ornament")}});
        c().txtSearch->setText(QStringLiteral("abel"));
        clickItem(0);
        ASSERT_EQ(c().txtSurname->toPlainText(), QStringLiteral("vanity"));
    }
    QStringList definitions() {
        QStringList d;
        for (const auto& r : storedRows())
            d << r.definition.toString();
        d.sort();
        return d;
    }
};

TEST_F(DuplicateHeadwordEditTest, EditAndSaveChangeOnlyTheShownRow) {
    c().cmdEdit->click();
    c().txtSurname->setPlainText(QStringLiteral("a breath"));
    c().cmdsave->click();
    EXPECT_EQ(definitions(), (QStringList{QStringLiteral("a breath"), QStringLiteral("mourning"),
                                          QStringLiteral("ornament")}));
    EXPECT_TRUE(messageLog().isEmpty());
}

TEST_F(DuplicateHeadwordEditTest, DeleteRemovesOnlyTheShownRow) {
    fakes.messages->queueAnswer(platform::AnswerYes);
    c().cmdDelete->click();
    EXPECT_EQ(definitions(), (QStringList{QStringLiteral("mourning"), QStringLiteral("ornament")}));
    EXPECT_EQ(listItems(), (QStringList{QStringLiteral("Abel"), QStringLiteral("Adah")}));
}

} // namespace
} // namespace tolvane::test
