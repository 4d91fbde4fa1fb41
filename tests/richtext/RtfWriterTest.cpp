// The writer: the rich-edit document shape, escaping, and the two promises that matter to
// the stored scripture column: what is written reads back to the same shown content, and
// writing what was read gives the same markup again.

#include "richtext/DocumentDescription.h"
#include "richtext/PlainText.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "support/TestSupport.h"

#include <QRandomGenerator>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <functional>

using tolvane::richtext::plainText;
using tolvane::richtext::readRtf;
using tolvane::richtext::writeRtf;
using tolvane::test::describeDocument;

namespace {

// Writes, reads back and writes again: the shown content and the markup must both survive.
void expectRoundTrip(const QTextDocument& original) {
    const QString written = writeRtf(original);
    QTextDocument reread;
    readRtf(written, reread);
    EXPECT_EQ(describeDocument(reread), describeDocument(original));
    EXPECT_EQ(writeRtf(reread), written) << "writing is not a fixed point";
}

QTextCharFormat format(const std::function<void(QTextCharFormat&)>& set) {
    QTextCharFormat f;
    set(f);
    return f;
}

} // namespace

TEST(RtfWriter, EmptyDocumentIsAHeaderAndOneEmptyParagraph) {
    QTextDocument empty;
    const QString rtf = writeRtf(empty);
    EXPECT_TRUE(rtf.startsWith(
        QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 ")))
        << rtf.toStdString();
    EXPECT_TRUE(rtf.contains(QStringLiteral("\\viewkind4\\uc1\\pard"))) << rtf.toStdString();
    EXPECT_TRUE(rtf.endsWith(QStringLiteral("\\par\r\n}\r\n"))) << rtf.toStdString();
    EXPECT_EQ(rtf.count(QStringLiteral("\\par")) - rtf.count(QStringLiteral("\\pard")), 1);
    EXPECT_FALSE(rtf.contains(QStringLiteral("colortbl"))) << "no colours used, no colour table";
    QTextDocument reread;
    readRtf(rtf, reread);
    EXPECT_EQ(reread.blockCount(), 1);
    EXPECT_TRUE(reread.isEmpty());
    expectRoundTrip(empty);
}

TEST(RtfWriter, RichEditStyleForPlainText) {
    QTextDocument d;
    d.setDefaultFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    d.setPlainText(QStringLiteral("Gen 1:1"));
    EXPECT_EQ(writeRtf(d), QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033"
                                          "{\\fonttbl{\\f0\\fnil\\fcharset0 MS Sans Serif;}}\r\n"
                                          "\\viewkind4\\uc1\\pard\\f0\\fs16 Gen 1:1\\par\r\n}\r\n"));
}

TEST(RtfWriter, EscapesSyntaxAndWritesCharactersBeyondTheCodePage) {
    QTextDocument d;
    d.setPlainText(QString::fromUtf8("{a} \\par b\tc é € 中 😊 \u00A0end"));
    const QString rtf = writeRtf(d);
    EXPECT_TRUE(rtf.contains(QStringLiteral("\\{a\\} \\\\par b\\tab c \\'e9 \\'80 \\u20013? \\u-10179?\\u-8694? \\'a0end")))
        << rtf.toStdString();
    for (const QChar c : rtf)
        ASSERT_LT(c.unicode(), 0x80) << "RTF is written as 7-bit text";
    QTextDocument reread;
    readRtf(rtf, reread);
    EXPECT_EQ(plainText(reread), plainText(d));
    expectRoundTrip(d);
}

TEST(RtfWriter, EveryFormattingKindSurvivesTheRoundTrip) {
    QTextDocument d;
    QTextCursor c(&d);
    c.insertText(QStringLiteral("plain "));
    c.insertText(QStringLiteral("bold "), format([](auto& f) { f.setFontWeight(QFont::Bold); }));
    c.insertText(QStringLiteral("italic "), format([](auto& f) { f.setFontItalic(true); }));
    c.insertText(QStringLiteral("under "), format([](auto& f) { f.setFontUnderline(true); }));
    c.insertText(QStringLiteral("strike "), format([](auto& f) { f.setFontStrikeOut(true); }));
    c.insertText(QStringLiteral("big "), format([](auto& f) { f.setFontPointSize(20.5); }));
    c.insertText(QStringLiteral("mono "), format([](auto& f) {
                     f.setFontFamilies({QStringLiteral("Courier New")});
                 }));
    c.insertText(QStringLiteral("odd;font "), format([](auto& f) {
                     f.setFontFamilies({QString::fromUtf8("Fönt; {x}")});
                 }));
    c.insertText(QStringLiteral("red "), format([](auto& f) { f.setForeground(QColor(200, 10, 10)); }));
    c.insertText(QStringLiteral("marked "), format([](auto& f) { f.setBackground(QColor(255, 255, 0)); }));
    c.insertText(QStringLiteral("everything"), format([](auto& f) {
                     f.setFontWeight(QFont::Bold);
                     f.setFontItalic(true);
                     f.setFontUnderline(true);
                     f.setFontStrikeOut(true);
                     f.setFontPointSize(7);
                     f.setForeground(QColor(0, 0, 255));
                 }));
    const struct {
        Qt::Alignment align;
        double left, right, indent, top, bottom;
    } paragraphs[] = {{Qt::AlignHCenter, 0, 0, 0, 0, 0},
                      {Qt::AlignRight, 10, 0, 0, 2, 0},
                      {Qt::AlignJustify, 20, 30, -4, 0, 6},
                      {Qt::AlignLeft, 0, 0, 8, 0, 0}};
    for (const auto& p : paragraphs) {
        QTextBlockFormat b;
        b.setAlignment(p.align);
        b.setLeftMargin(p.left);
        b.setRightMargin(p.right);
        b.setTextIndent(p.indent);
        b.setTopMargin(p.top);
        b.setBottomMargin(p.bottom);
        c.insertBlock(b);
        c.insertText(QStringLiteral("paragraph"));
    }
    const QString rtf = writeRtf(d);
    for (const char* word : {"\\b ", "\\i ", "\\ul ", "\\strike ", "\\fs41", "\\qc", "\\qr", "\\qj",
                             "\\li150", "\\ri450", "\\fi-60", "\\sb30", "\\sa90", "\\cf1", "\\highlight2",
                             "Courier New;", "F\\'f6nt\\'3b \\{x\\};", "\\red200\\green10\\blue10;"})
        EXPECT_TRUE(rtf.contains(QLatin1String(word))) << word << "\n" << rtf.toStdString();
    expectRoundTrip(d);
}

TEST(RtfWriter, EmptyParagraphsAndLineBreaksSurvive) {
    QTextDocument d;
    QTextCursor c(&d);
    c.insertText(QStringLiteral("first"));
    c.insertBlock();
    c.insertBlock();
    c.insertText(QStringLiteral("line") + QChar(QChar::LineSeparator) + QStringLiteral("break"));
    c.insertBlock();
    expectRoundTrip(d);
    QTextDocument reread;
    readRtf(writeRtf(d), reread);
    EXPECT_EQ(reread.blockCount(), 4);
    EXPECT_EQ(plainText(reread), QStringLiteral("first\n\nline\nbreak\n"));
}

TEST(RtfWriter, ALargeMixedDocumentSurvives) {
    // 100,000 characters of mixed text and formatting, the same on every run.
    QRandomGenerator random(20261207);
    const QStringList alphabet = QString::fromUtf8("a b c d e f g h i j K L M N O { } \\ \t é ß € Ω д 中 😊")
                                     .split(u' ');
    QTextDocument d;
    QTextCursor c(&d);
    qsizetype written = 0;
    while (written < 100000) {
        QString run;
        const int length = 1 + int(random.bounded(200));
        for (int i = 0; i < length; ++i)
            run += alphabet.at(random.bounded(int(alphabet.size()))) + (random.bounded(5) ? "" : " ");
        QTextCharFormat f;
        f.setFontWeight(random.bounded(2) ? QFont::Bold : QFont::Normal);
        f.setFontItalic(random.bounded(3) == 0);
        f.setFontUnderline(random.bounded(4) == 0);
        f.setFontPointSize(8 + random.bounded(10));
        if (random.bounded(5) == 0)
            f.setForeground(QColor::fromRgb(random.bounded(0x1000000)));
        c.insertText(run, f);
        written += run.size();
        if (random.bounded(10) == 0) {
            QTextBlockFormat b;
            b.setAlignment(random.bounded(2) ? Qt::AlignLeft : Qt::AlignHCenter);
            c.insertBlock(b);
        }
    }
    ASSERT_GE(d.characterCount(), 100000);
    expectRoundTrip(d);
}

TEST(RtfWriter, ContentTheReaderWouldNotKeepIsWrittenAsItWillReadBack) {
    // A lone surrogate half, an object marker, a control code, a font name with a line break
    // and blanks around it: what is written must be what reads back, so writing stays a
    // fixed point even for such a document.
    QTextDocument d;
    QTextCursor c(&d);
    const char16_t raw[] = {u'a', 0xD800, u'b', 0xFFFC, u'c', 0x01, u'd'};
    QTextCharFormat f;
    f.setFontFamilies({QStringLiteral("  Bad\nName  ")});
    c.insertText(QString(reinterpret_cast<const QChar*>(raw), std::size(raw)), f);
    const QString written = writeRtf(d);
    EXPECT_TRUE(written.contains(QStringLiteral("{\\f0\\fnil\\fcharset0 BadName;}"))) << written.toStdString();
    QTextDocument reread;
    readRtf(written, reread);
    const char16_t expected[] = {u'a', 0xFFFD, u'b', u'c', 0x01, u'd'};
    EXPECT_EQ(plainText(reread), QString(reinterpret_cast<const QChar*>(expected), std::size(expected)));
    EXPECT_EQ(writeRtf(reread), written);
}
