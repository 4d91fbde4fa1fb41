// The scripture box driven as the King James window drives it: set from a stored value,
// read for a store, emptied, given plain text and the proper-name marker.

#include "richtext/DocumentDescription.h"
#include "richtext/RichTextBox.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QImage>
#include <QPixmap>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QWidget>

using tolvane::richtext::RichTextBox;
using tolvane::test::describeDocument;

namespace {

// A value as the rich-edit control of the original program stored it in the scripture column.
const QString kStoredValue = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 MS Sans Serif;}}\r\n"
    "\\viewkind4\\uc1\\pard\\f0\\fs17 Isa. 2:9; \\b 5:15\\b0 ; Ps. 18:27\\par\r\n"
    "\\qc\\i Caf\\'e9\\i0\\par\r\n}\r\n\0");

// Every signal the box can emit, counted.
struct SignalCounter {
    explicit SignalCounter(RichTextBox& box)
        : text(&box, &QTextEdit::textChanged), cursor(&box, &QTextEdit::cursorPositionChanged),
          selection(&box, &QTextEdit::selectionChanged) {}
    qsizetype total() const { return text.count() + cursor.count() + selection.count(); }
    QSignalSpy text, cursor, selection;
};

} // namespace

TEST(RichTextBox, ShowsAStoredValueAndGivesItBackForTheStore) {
    RichTextBox box;
    box.setTextRTF(kStoredValue);
    EXPECT_EQ(box.Text(), QString::fromUtf8("Isa. 2:9; 5:15; Ps. 18:27\nCafé"));
    const QString stored = box.TextRTF();
    EXPECT_TRUE(stored.startsWith(QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl")));
    EXPECT_TRUE(stored.contains(QStringLiteral("\\viewkind4\\uc1\\pard")));
    EXPECT_TRUE(stored.contains(QStringLiteral("MS Sans Serif;")));
    EXPECT_TRUE(stored.contains(QStringLiteral("\\fs17 Isa. 2:9; \\b 5:15\\b0 ; Ps. 18:27\\par")));
    EXPECT_TRUE(stored.contains(QStringLiteral("\\qc\\i Caf\\'e9")));

    // Loading the store back shows the same content, and storing it again changes nothing.
    RichTextBox again;
    again.setTextRTF(stored);
    EXPECT_EQ(describeDocument(*again.document()), describeDocument(*box.document()));
    EXPECT_EQ(again.TextRTF(), stored);
}

TEST(RichTextBox, EmptyingGivesACompleteDocumentNeverEmptyText) {
    RichTextBox box;
    EXPECT_TRUE(box.TextRTF().startsWith(QStringLiteral("{\\rtf1")));
    box.setTextRTF(kStoredValue);
    box.setTextRTF(QString());
    EXPECT_EQ(box.Text(), QString());
    const QString rtf = box.TextRTF();
    EXPECT_TRUE(rtf.startsWith(QStringLiteral("{\\rtf1\\ansi\\ansicpg1252")));
    EXPECT_TRUE(rtf.trimmed().endsWith(QStringLiteral("\\par\r\n}")));
    EXPECT_NE(rtf, QString());
    // The empty document loads back as an empty box.
    box.setTextRTF(rtf);
    EXPECT_EQ(box.Text(), QString());
    EXPECT_EQ(box.TextRTF(), rtf);
}

TEST(RichTextBox, TextThatIsNotMarkupShowsUnchanged) {
    RichTextBox box;
    const QString plain = QStringLiteral("See {also} C:\\bible \\par Gen. 1:1");
    box.setTextRTF(plain);
    EXPECT_EQ(box.Text(), plain);
    box.setTextRTF(QStringLiteral("  \r\n{\\rtf1 marked up}"));
    EXPECT_EQ(box.Text(), QStringLiteral("marked up")) << "leading white space before {\\rtf is allowed";
    // Windows line ends are one line break, not an extra empty paragraph.
    box.setTextRTF(QStringLiteral("Gen. 1:1\r\nEx. 2:2"));
    EXPECT_EQ(box.Text(), QStringLiteral("Gen. 1:1\nEx. 2:2"));
    EXPECT_EQ(box.document()->blockCount(), 2);
}

TEST(RichTextBox, TheProperNameMarkerShowsAsItselfThenAsReplacedText) {
    RichTextBox box;
    box.setTextRTF(QStringLiteral("="));
    ASSERT_EQ(box.Text(), QStringLiteral("="));
    // What the window does next: show the words instead, and later store them as markup.
    box.setText(QStringLiteral("Proper Name"));
    EXPECT_EQ(box.Text(), QStringLiteral("Proper Name"));
    const QString stored = box.TextRTF();
    EXPECT_TRUE(stored.startsWith(QStringLiteral("{\\rtf1")));
    EXPECT_TRUE(stored.contains(QStringLiteral(" Proper Name\\par")));
    RichTextBox reloaded;
    reloaded.setTextRTF(stored);
    EXPECT_EQ(reloaded.Text(), QStringLiteral("Proper Name"));
    // Markup whose text merely contains "=" is shown as it is.
    box.setTextRTF(QStringLiteral("{\\rtf1 = }"));
    EXPECT_EQ(box.Text(), QStringLiteral("= "));
}

TEST(RichTextBox, SettingEitherPropertyEmitsNoSignal) {
    RichTextBox box;
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    SignalCounter counter(box);
    box.setTextRTF(kStoredValue);
    box.setTextRTF(QStringLiteral("="));
    box.setText(QStringLiteral("Proper Name"));
    box.setTextRTF(QString());
    (void)box.TextRTF();
    (void)box.Text();
    EXPECT_EQ(counter.total(), 0);
}

TEST(RichTextBox, ReadersCanSelectAndTabThroughButNotType) {
    QWidget window;
    auto* before = new QTextEdit(&window);
    auto* box = new RichTextBox(&window);
    auto* after = new QTextEdit(&window);
    before->setTabChangesFocus(true);
    box->setGeometry(0, 40, 200, 60);
    after->setGeometry(0, 110, 200, 30);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    box->setTextRTF(kStoredValue);

    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    ASSERT_TRUE(box->hasFocus()) << "the box takes its place in the tab order";
    QTest::keyClicks(box, "typed");
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->Text(), QString::fromUtf8("Isa. 2:9; 5:15; Ps. 18:27\nCafé"));
    QTest::keyClick(box, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_TRUE(box->textCursor().hasSelection()) << "a reader can select to copy";
    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_TRUE(after->hasFocus()) << "Tab leaves the box instead of typing a tab";
    EXPECT_EQ(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(box->lineWrapMode(), QTextEdit::WidgetWidth);
}

TEST(RichTextBox, LoadingStartsAtTheTopWithNothingToUndo) {
    RichTextBox box;
    box.resize(200, 60);
    QString many;
    for (int i = 0; i < 200; ++i)
        many += QStringLiteral("Verse %1\\par ").arg(i);
    box.setTextRTF(QStringLiteral("{\\rtf1 ") + many + u'}');
    EXPECT_EQ(box.textCursor().position(), 0);
    EXPECT_FALSE(box.document()->isUndoAvailable());
}

// The window shows the box first and loads a value into it later, on each click: the text
// must then be laid out and painted, not only held by the document.
TEST(RichTextBox, AValueLoadedIntoABoxOnScreenIsLaidOutAndPainted) {
    RichTextBox box;
    box.resize(217, 89);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    const QImage blank = box.grab().toImage();
    const QString oneParagraph = QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}"
        "\\viewkind4\\uc1\\pard\\f0\\fs20 Ezek. 21:26; Phil. 4:12\\par\r\n}");
    for (const QString& value :
         {oneParagraph, kStoredValue, QStringLiteral("Gen. 1:1"), oneParagraph}) {
        box.setTextRTF(value);
        QCoreApplication::processEvents();
        const QTextBlock first = box.document()->begin();
        ASSERT_TRUE(first.layout());
        EXPECT_GT(first.layout()->lineCount(), 0) << value.left(40).toStdString();
        EXPECT_NE(box.grab().toImage(), blank) << value.left(40).toStdString();
    }
}

// A value far longer than the box is laid out from the top first and the rest as the box
// goes on: it must still reach the end, scroll there, and a later value start at its top.
TEST(RichTextBox, ALongValueOnScreenIsLaidOutToItsEndAndTheNextStartsAtTheTop) {
    RichTextBox box;
    box.resize(217, 89);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QString rtf = QStringLiteral("{\\rtf1 ");
    QString plain;
    for (int i = 0; i < 3000; ++i) {
        rtf += QStringLiteral("{\\b Verse %1} Gen. 1:%1; Ex. 2:%1\\par ").arg(i);
        plain += QStringLiteral("Verse %1 Gen. 1:%1; Ex. 2:%1\r\n").arg(i);
    }
    for (const QString& value : {rtf + u'}', plain}) {
        SCOPED_TRACE(value.left(8).toStdString());
        box.setTextRTF(value);
        EXPECT_FALSE(box.textCursor().isNull());
        EXPECT_EQ(box.textCursor().position(), 0);
        QScrollBar* bar = box.verticalScrollBar();
        EXPECT_EQ(bar->value(), 0);
        const QImage top = box.grab().toImage();
        const auto endIsShown = [&] {
            bar->setValue(bar->maximum());
            return box.cursorForPosition(QPoint(5, 5)).block().text().startsWith(u"Verse 29");
        };
        EXPECT_TRUE(QTest::qWaitFor(endIsShown)) << "the end of the value can be scrolled to";
        EXPECT_GT(bar->maximum(), 3000 * 10) << "every paragraph takes its height";
        EXPECT_NE(box.grab().toImage(), top);
    }
}
