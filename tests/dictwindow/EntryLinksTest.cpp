// The links of the entry boxes: found when an entry is shown, drawn without touching the text,
// followed by a click; a double-click still looks the word up.

#include "WindowFixture.h"

#include "dictwindow/EntryLinks.h"
#include "dictwindow/LinkColour.h"
#include "dictwindow/SearchBox.h"
#include "richtext/RichTextBox.h"

#include <QAbstractTextDocumentLayout>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>

namespace tolvane::test {
namespace {

using dictwindow::EntryLinks;

class EntryLinksTest : public WindowFixture {
protected:
    void SetUp() override {
        open(data::eastonsConfig(),
             {{"Aaron", "Brother of Moses (Ex. 6:20), born before (2:1, 4). (See MOSES.)"},
              {"Moses", "The lawgiver (Ex. 2:10); Ps. 11:14 is no verse."},
              {"Tyropoeon Valley", "The valley of the cheesemakers."},
              {"Zion", "East of the Tyropoeon Valley (q.v.). (See GIANTS.)\r\nSee MOSES."}});
    }
    // The links as "text = target" lines.
    QStringList linksOf(const EntryLinks* links, const QString& text) {
        QStringList out;
        for (const auto& l : links->links()) {
            const auto* range = std::get_if<references::VerseRange>(&l.target);
            out << text.mid(l.start, l.length) + QStringLiteral(" = ") +
                       (range ? references::displayName(*range) : std::get<QString>(l.target));
        }
        return out;
    }
    // The links' formats laid over the paragraphs.
    static QList<QTextLayout::FormatRange> linkFormats(QTextDocument* document) {
        QList<QTextLayout::FormatRange> all;
        for (QTextBlock b = document->begin(); b.isValid(); b = b.next())
            all += b.layout()->formats();
        return all;
    }
    QPoint pointOn(const EntryLinks::Link& link) {
        QTextCursor inside(c().txtSurname->document());
        inside.setPosition(int(link.start + 1));
        return c().txtSurname->cursorRect(inside).center() + QPoint(1, 0);
    }
};

TEST_F(EntryLinksTest, ReferencesAndPointersAreDrawnWithoutChangingTheText) {
    clickHeadword("Aaron");
    const QString text = c().txtSurname->toPlainText();
    EXPECT_EQ(linksOf(win().definitionLinks(), text),
              (QStringList{"Ex. 6:20 = Exodus 6:20", "2:1 = Exodus 2:1", "4 = Exodus 2:4",
                           "MOSES = Moses"}));
    EXPECT_EQ(text, storedRow("Aaron")->definition.toString());
    EXPECT_FALSE(c().txtSurname->document()->isUndoAvailable());
    EXPECT_FALSE(c().txtSurname->document()->isModified());
    const auto drawn = linkFormats(c().txtSurname->document());
    ASSERT_EQ(drawn.size(), 4);
    EXPECT_TRUE(drawn[0].format.fontUnderline());
    EXPECT_GE(dictwindow::contrastRatio(drawn[0].format.foreground().color(),
                                        c().txtSurname->palette().color(QPalette::Base)),
              4.5);
    EXPECT_TRUE(c().txtSurname->extraSelections().isEmpty()); // left to others
    QSignalSpy changed(c().txtSurname->document(), &QTextDocument::contentsChanged);
    win().definitionLinks()->refresh(); // drawing is no change the box would follow
    QApplication::processEvents();
    EXPECT_TRUE(changed.isEmpty());
    // Another entry's links replace these; an impossible verse is no link.
    clickHeadword("Moses");
    EXPECT_EQ(linksOf(win().definitionLinks(), c().txtSurname->toPlainText()),
              (QStringList{"Ex. 2:10 = Exodus 2:10"}));
}

// An expected text's links are on its paragraph before the text comes in: when the text
// comes, the paragraph still holds its lines (links given then would throw them away, and the
// box would lay the paragraph out twice). A text other than the one expected is read as it is.
TEST_F(EntryLinksTest, AnExpectedTextComesWithItsLinksAndIsLaidOutOnce) {
    const QString text = QStringLiteral("(See MOSES.) Gen. 1:1.");
    QPlainTextEdit box;
    auto* links = new EntryLinks(&box);
    links->setHeadwordLookup([](const QString& name) {
        return name.compare("moses", Qt::CaseInsensitive) == 0 ? "Moses" : "";
    });
    int lines = -1;
    qsizetype formats = -1;
    QObject::connect(box.document(), &QTextDocument::contentsChange, [&](int, int, int added) {
        if (added > 0) {
            lines = box.document()->begin().layout()->lineCount();
            formats = box.document()->begin().layout()->formats().size();
        }
    });
    box.setPlainText(QStringLiteral("An entry shown before."));
    links->expectText(text);
    box.setPlainText(text);
    EXPECT_EQ(formats, 2);
    EXPECT_GT(lines, 0);
    links->expectText(QStringLiteral("Not what comes."));
    box.setPlainText(QStringLiteral("Ex. 2:1 and\r\nsee MOSES."));
    ASSERT_EQ(links->links().size(), 2u);
    EXPECT_EQ(links->links()[1].start, 16); // "\r\n" is one paragraph break
    EXPECT_EQ(box.document()->lastBlock().layout()->formats().size(), 1);
}

TEST_F(EntryLinksTest, PointersOfSeveralWordsAcrossLinesAndMissingHeadwords) {
    clickHeadword("Zion");
    const QString text = c().txtSurname->toPlainText();
    EXPECT_EQ(linksOf(win().definitionLinks(), text),
              (QStringList{"Tyropoeon Valley = Tyropoeon Valley", "MOSES = Moses"}));
}

TEST_F(EntryLinksTest, AClickOnAPointerOpensTheEntryAsTheListDoes) {
    clickHeadword("Zion");
    QSignalSpy shown(&win(), &dictwindow::DictionaryWindow::entryShown);
    const EntryLinks::Link link = win().definitionLinks()->links().at(0);
    ASSERT_EQ(win().definitionLinks()->linkAt(pointOn(link)), &win().definitionLinks()->links()[0]);
    QTest::mouseClick(c().txtSurname->viewport(), Qt::LeftButton, {}, pointOn(link));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.isEmpty(); }, 3000));
    EXPECT_EQ(shown.at(0).at(0).toString(), "Tyropoeon Valley");
    EXPECT_EQ(c().txtForename->text(), "Tyropoeon Valley");
    EXPECT_EQ(c().txtSurname->toPlainText(), "The valley of the cheesemakers.");
    EXPECT_EQ(listItems(), QStringList{"Tyropoeon Valley"}); // the list agrees with the entry
    EXPECT_TRUE(messageLog().isEmpty());
}

TEST_F(EntryLinksTest, AReferenceShowsItsTipOnHoverAndIsPassedOnWhenClicked) {
    // The lookup answers later, as the verse helper does.
    std::vector<std::pair<QString, std::function<void(const QString&)>>> asked;
    win().setVerseTip([&](const references::VerseRange& r, auto answer) {
        asked.emplace_back("tip " + displayName(r), answer);
    });
    clickHeadword("Aaron");
    const EntryLinks::Link link = win().definitionLinks()->links().at(0); // Ex. 6:20
    auto hover = [&](const QPoint& at) {
        QHelpEvent e(QEvent::ToolTip, at, c().txtSurname->mapToGlobal(at));
        QApplication::sendEvent(c().txtSurname->viewport(), &e);
    };
    hover(pointOn(link));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_FALSE(QToolTip::isVisible()); // nothing until the answer
    asked[0].second(asked[0].first);
    EXPECT_EQ(QToolTip::text(), "tip Exodus 6:20");
    QToolTip::hideText();
    ASSERT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
    // A later hover supersedes an earlier one; an answer for a link the pointer left is not
    // shown.
    const EntryLinks::Link other = win().definitionLinks()->links().at(1); // 2:1
    hover(pointOn(link));
    hover(pointOn(other));
    asked[1].second(asked[1].first);
    EXPECT_FALSE(QToolTip::isVisible());
    QTest::mouseMove(c().txtSurname->viewport(), pointOn(link));
    asked[2].second(asked[2].first);
    EXPECT_FALSE(QToolTip::isVisible());
    QSignalSpy clicked(&win(), &dictwindow::DictionaryWindow::scriptureClicked);
    QTest::mouseClick(c().txtSurname->viewport(), Qt::LeftButton, {}, pointOn(link));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !clicked.isEmpty(); }, 3000));
    EXPECT_EQ(clicked.at(0).at(0).value<references::VerseRange>(),
              (references::VerseRange{1, 6, 20, 6, 20}));
    EXPECT_EQ(c().txtForename->text(), "Aaron"); // the entry stays
}

TEST_F(EntryLinksTest, ADoubleClickOnALinkLooksTheWordUpInsteadOfFollowingIt) {
    clickHeadword("Aaron");
    QSignalSpy clicked(win().definitionLinks(), &EntryLinks::entryLinkClicked);
    const EntryLinks::Link link = win().definitionLinks()->links().back(); // MOSES
    QTest::mouseClick(c().txtSurname->viewport(), Qt::LeftButton, {}, pointOn(link));
    QTest::mouseDClick(c().txtSurname->viewport(), Qt::LeftButton, {}, pointOn(link));
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    EXPECT_TRUE(clicked.isEmpty());
    EXPECT_EQ(c().txtSearch->text(), "MOSES");
    EXPECT_EQ(c().txtForename->text(), "Moses");
}

TEST_F(EntryLinksTest, AKingJamesEntryGivesBackItsStoredRtfWithLinksShown) {
    const QString stored = QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}"
        "\\viewkind4\\uc1\\pard\\f0\\fs20 Lev. xxvii. \\b 18\\b0; Deut. xxxiv. 7\\par\r\n}");
    open(data::kingJamesConfig(), {{"Abate", "to lower", stored}});
    richtext::RichTextBox plain;
    plain.setTextRTF(stored);
    clickHeadword("Abate");
    EXPECT_EQ(
        linksOf(win().scriptureLinks(), c().rtb1->toPlainText()),
        (QStringList{"Lev. xxvii. 18 = Leviticus 27:18", "Deut. xxxiv. 7 = Deuteronomy 34:7"}));
    EXPECT_EQ(linkFormats(c().rtb1->document()).size(), 2);
    EXPECT_EQ(c().rtb1->TextRTF(), plain.TextRTF());
    EXPECT_FALSE(c().rtb1->document()->isUndoAvailable());
}

} // namespace
} // namespace tolvane::test
