// The reader on markup written for the purpose: each formatting kind, the character escapes
// and code pages, the destinations that are skipped, and input that is damaged or hostile.

#include "richtext/PlainText.h"
#include "richtext/RtfReader.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

using tolvane::richtext::isRtf;
using tolvane::richtext::plainText;
using tolvane::richtext::readRtf;

namespace {

const char* const kHeader =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
    "{\\f1\\fnil\\fcharset0 Courier New;}{\\f2\\fnil\\fcharset204 Cyr;}{\\f3\\fnil\\fcharset2 Symbol;}}"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\\viewkind4\\uc1\\pard ";

QString read(const QByteArray& rtf) {
    QTextDocument document;
    readRtf(rtf, document);
    return plainText(document);
}

QByteArray body(const char* text) { return QByteArray(kHeader) + text + "}"; }

// The character format of the first character of `needle` in the document.
QTextCharFormat formatOf(const QTextDocument& document, const QString& needle) {
    const QString all = document.toRawText();
    const qsizetype at = all.indexOf(needle);
    EXPECT_GE(at, 0) << needle.toStdString();
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(int(at) + 1);
    return cursor.charFormat();
}

QTextBlockFormat blockOf(const QTextDocument& document, const QString& needle) {
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        if (b.text().contains(needle))
            return b.blockFormat();
    }
    ADD_FAILURE() << "no paragraph holds " << needle.toStdString();
    return {};
}

} // namespace

TEST(RtfReader, CharacterFormattingFollowsGroupsAndResets) {
    QTextDocument d;
    readRtf(body("n {\\b b {\\i bi} b2} \\ul u\\ulnone  \\strike s\\strike0  \\fs40 big\\fs24  "
                 "\\f1 mono\\f0  \\cf1 red\\cf0  \\cb2 bg\\cb0  \\highlight1 hl\\highlight0  "
                 "\\b\\i\\ul\\cf1 all\\plain  plain"),
            d);
    EXPECT_EQ(plainText(d), QStringLiteral("n b bi b2 u s big mono red bg hl all plain"));
    EXPECT_FALSE(formatOf(d, "n ").fontWeight() > QFont::Normal);
    EXPECT_EQ(formatOf(d, "b ").fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatOf(d, "bi").fontItalic());
    EXPECT_EQ(formatOf(d, "bi").fontWeight(), QFont::Bold);
    EXPECT_FALSE(formatOf(d, "b2").fontItalic());
    EXPECT_EQ(formatOf(d, "b2").fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatOf(d, " u").fontUnderline() || formatOf(d, "u s").fontUnderline());
    EXPECT_FALSE(formatOf(d, "s big").fontUnderline());
    EXPECT_TRUE(formatOf(d, "s big").fontStrikeOut());
    EXPECT_EQ(formatOf(d, "big").fontPointSize(), 20.0);
    EXPECT_EQ(formatOf(d, "mono").fontFamilies().toStringList().value(0), QStringLiteral("Courier New"));
    EXPECT_EQ(formatOf(d, "mono").fontPointSize(), 12.0);
    EXPECT_EQ(formatOf(d, "red").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatOf(d, "bg").background().color(), QColor(0, 128, 0));
    EXPECT_EQ(formatOf(d, "bg").foreground().style(), Qt::NoBrush);
    EXPECT_EQ(formatOf(d, "hl").background().color(), QColor(255, 0, 0));
    const QTextCharFormat all = formatOf(d, "all");
    EXPECT_TRUE(all.fontItalic() && all.fontUnderline() && all.fontWeight() == QFont::Bold);
    const QTextCharFormat plain = formatOf(d, "plain");
    EXPECT_FALSE(plain.fontItalic() || plain.fontUnderline() || plain.fontWeight() > QFont::Normal);
    EXPECT_EQ(plain.foreground().style(), Qt::NoBrush);
    EXPECT_EQ(plain.fontFamilies().toStringList().value(0), QStringLiteral("Arial"));
}

TEST(RtfReader, ParagraphFormattingBelongsToTheParagraphItEnds) {
    QTextDocument d;
    readRtf(body("\\qc centred\\par\\pard\\qr right\\par\\pard\\qj\\li300\\ri150\\fi-75\\sb45\\sa90 "
                 "just\\par\\pard left\\line next\\tab tabbed\\par"),
            d);
    EXPECT_EQ(plainText(d), QStringLiteral("centred\nright\njust\nleft\nnext\ttabbed"));
    EXPECT_EQ(d.blockCount(), 4) << "a final \\par starts no empty paragraph";
    EXPECT_EQ(blockOf(d, "centred").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(blockOf(d, "right").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    const QTextBlockFormat just = blockOf(d, "just");
    EXPECT_EQ(just.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    EXPECT_DOUBLE_EQ(just.leftMargin(), 20.0); // 15 twips to a pixel
    EXPECT_DOUBLE_EQ(just.rightMargin(), 10.0);
    EXPECT_DOUBLE_EQ(just.textIndent(), -5.0);
    EXPECT_DOUBLE_EQ(just.topMargin(), 3.0);
    EXPECT_DOUBLE_EQ(just.bottomMargin(), 6.0);
    EXPECT_EQ(blockOf(d, "left").leftMargin(), 0.0);
    EXPECT_TRUE(d.toRawText().contains(QChar(QChar::LineSeparator)));
}

TEST(RtfReader, EmptyParagraphsAreKept) {
    EXPECT_EQ(read(body("a\\par\\par\\par b\\par")), QStringLiteral("a\n\n\nb"));
    EXPECT_EQ(read(body("\\par")), QString());
    EXPECT_EQ(read(body("")), QString());
}

TEST(RtfReader, SpecialCharactersAndEscapes) {
    EXPECT_EQ(read(body("\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote  "
                        "a\\~b\\-c\\_d \\{x\\} \\\\ e\\emspace\\enspace\\qmspace f")),
              QString::fromUtf8("—–•‘’“” a\u00A0bc\u2011d {x} \\ e\u2003\u2002\u2005f"));
    // A space after a control word is its delimiter; a second one is text.
    EXPECT_EQ(read(body("\\b  x\\b0 y")), QStringLiteral(" xy"));
    // The control word ends at the first character that is not a letter or digit.
    EXPECT_EQ(read("{\\rtf1foobar}"), QStringLiteral("foobar"));
}

TEST(RtfReader, UnicodeEscapesSkipTheirFallback) {
    EXPECT_EQ(read(body("na\\u239?ve \\u8364?")), QString::fromUtf8("naïve €"));
    EXPECT_EQ(read(body("{\\uc2\\u8364\\'80\\'80}x")), QString::fromUtf8("€x"));
    EXPECT_EQ(read(body("{\\uc0\\u8364 x}")), QString::fromUtf8("€x"));
    EXPECT_EQ(read(body("\\u-10179?\\u-8694?")), QString::fromUtf8("😊"));
    EXPECT_EQ(read(body("{\\uc3\\u8364 a{}bc}")), QString::fromUtf8("€bc")) << "a brace ends skipping";
    // Lone surrogate halves would make the text invalid UTF-16.
    EXPECT_EQ(read(body("a\\u-10179?b\\u-8694?c")), QString::fromUtf8("a\uFFFDb\uFFFDc"));
    // Control codes may not forge paragraphs or drop into the text as NUL.
    QTextDocument d;
    readRtf(body("a\\u13?\\u10?b\\u0?c"), d);
    EXPECT_EQ(d.blockCount(), 1);
    EXPECT_EQ(plainText(d), QStringLiteral("a\n\nbc"));
}

TEST(RtfReader, EightBitTextFollowsTheFontAndDocumentCodePage) {
    EXPECT_EQ(read(body("Caf\\'e9 \\'80 \\'93q\\'94")), QString::fromUtf8("Café € “q”"));
    EXPECT_EQ(read(body("\\f2 \\'cf\\'f0\\'e8\\f0  \\'e9")), QString::fromUtf8("При é"));
    EXPECT_EQ(read(body("{\\f3\\'b7}")), QString(QChar(0xF0B7))) << "Symbol keeps Word's private-use code";
    EXPECT_EQ(read("{\\rtf1\\ansi\\ansicpg1251 \\'c4\\'e0}"), QString::fromUtf8("Да"));
    EXPECT_EQ(read("{\\rtf1\\ansi\\ansicpg1250 \\'c8}"), QString::fromUtf8("Č"));
    EXPECT_EQ(read("{\\rtf1\\ansi\\ansicpg1253 \\'d9}"), QString::fromUtf8("Ω"));
    EXPECT_EQ(read("{\\rtf1\\mac \\'8e}"), QString::fromUtf8("é"));
    EXPECT_EQ(read("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0}"), QString::fromUtf8("あ"));
    EXPECT_EQ(read("{\\rtf1{\\fonttbl{\\f0\\cpg65001 U;}}\\f0 \\'e4\\'b8\\'ad}"), QString::fromUtf8("中"));
    // An unknown code page falls back to 1252 instead of failing.
    EXPECT_EQ(read("{\\rtf1\\ansi\\ansicpg99999 \\'e9}"), QString::fromUtf8("é"));
}

TEST(RtfReader, MarkupHeldAsTextKeepsItsCharacters) {
    QTextDocument d;
    readRtf(QString::fromUtf8("{\\rtf1 Ω é {\\b 中} \\'e9}"), d);
    EXPECT_EQ(plainText(d), QString::fromUtf8("Ω é 中 é"));
    readRtf(QString::fromUtf8("{\\rtf1 \\u8364 éx}"), d);
    EXPECT_EQ(plainText(d), QString::fromUtf8("€x")) << "the fallback é is one character";
}

TEST(RtfReader, DestinationsThatAreNotBodyTextAreSkipped) {
    EXPECT_EQ(read(body("a{\\*\\unknown x}b{\\*\\generator y}c{\\info{\\title t}}d{\\stylesheet{\\s0 N;}}e")),
              QStringLiteral("abcde"));
    EXPECT_EQ(read(body("a{\\unknowndestination shown}b")), QStringLiteral("ashownb"));
    EXPECT_EQ(read(body("a{\\pict\\pngblip 89504e47}b{\\header h}{\\footer f}{\\footnote n}c")),
              QStringLiteral("abc"));
    EXPECT_EQ(read(body("{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}")), QStringLiteral("link"));
    EXPECT_EQ(read(body("{\\pntext 1.\\tab}item")), QStringLiteral("item"));
    // \bin data is skipped by its length, whatever bytes it holds.
    EXPECT_EQ(read(body("a{\\*\\blob\\bin5 }{\\'X}b") ), QStringLiteral("ab"));
    EXPECT_EQ(read(body("a\\bin3 }}}b")), QStringLiteral("ab"));
    EXPECT_EQ(read(body("a{\\pict\\bin \\par}b")), QStringLiteral("ab")) << "bare \\bin is 0 bytes";
}

TEST(RtfReader, TableRowsBecomeTabbedLines) {
    EXPECT_EQ(read(body("\\trowd\\cellx100\\cellx200\\intbl one\\cell two\\cell\\row "
                        "\\trowd\\intbl three\\cell four\\cell\\row after\\par")),
              QStringLiteral("one\ttwo\nthree\tfour\nafter"));
}

TEST(RtfReader, TextThatIsNotRtfIsShownUnchanged) {
    EXPECT_TRUE(isRtf(QStringView(u"  \r\n\t{\\rtf1}")));
    EXPECT_TRUE(isRtf(QByteArrayView(" {\\rtf")));
    EXPECT_FALSE(isRtf(QStringView(u"x{\\rtf1}")));
    EXPECT_FALSE(isRtf(QStringView(u"{\\rt")));
    EXPECT_FALSE(isRtf(QStringView(u"=")));
    EXPECT_EQ(read("="), QStringLiteral("="));
    EXPECT_EQ(read(" \r\n\t{\\rtf1 x}"), QStringLiteral("x")) << "white space before {\\rtf is not text";
    EXPECT_EQ(read("C:\\path {x} \\par"), QStringLiteral("C:\\path {x} \\par"));
    EXPECT_EQ(read("caf\xc3\xa9"), QString::fromUtf8("café"));
    EXPECT_EQ(read("caf\xe9"), QString::fromUtf8("café")) << "not UTF-8: code page 1252";
    EXPECT_EQ(read("one\r\ntwo\rthree"), QStringLiteral("one\ntwo\nthree"));
    // Plain text may not hold what the document reserves or what RTF cannot carry.
    QTextDocument d;
    const char16_t raw[] = {u'a', 0, u'b', 0xFFFC, 0xFDD0, u'c', 0x2029, u'd', 0xD800, u'e'};
    readRtf(QString(reinterpret_cast<const QChar*>(raw), std::size(raw)), d);
    EXPECT_EQ(plainText(d), QString::fromUtf16(u"ab\uFFFD\uFFFDc\nd\uFFFDe"));
    EXPECT_EQ(read(""), QString());
}

TEST(RtfReader, DamagedMarkupKeepsWhatCanBeRead) {
    EXPECT_EQ(read("{\\rtf1 one\\par {\\b two\\par three"), QStringLiteral("one\ntwo\nthree"));
    EXPECT_EQ(read("{\\rtf1 Before}} after}"), QStringLiteral("Before"));
    EXPECT_EQ(read("{\\rtf1 half \\'e"), QStringLiteral("half "));
    EXPECT_EQ(read("{\\rtf1 a\\"), QStringLiteral("a"));
    EXPECT_EQ(read("{\\rtf1 a\\u"), QStringLiteral("a"));
    EXPECT_EQ(read("{\\rtf1 a{\\*\\x"), QStringLiteral("a"));
    EXPECT_EQ(read("{\\rtf1 a\\bin999999999 b"), QStringLiteral("a"));
    // Every prefix of a real document reads without failing and never grows text out of nothing.
    const QByteArray full = body("x{\\b y\\u8364?}\\'e9{\\*\\d z}\\bin2 ab\\par w\\cell v\\row");
    for (int n = 0; n <= full.size(); ++n) {
        const QString text = read(full.left(n));
        EXPECT_LE(text.size(), 12) << n;
    }
}

TEST(RtfReader, HostileNumbersAreClamped) {
    QTextDocument d;
    readRtf(body("\\fs99999999999999999999 a\\fs2147483647 b\\fs-24 c\\fs0 d\\fs30 e"
                 "\\li-99999999999 f\\cf99999999 h\\f-5 i\\u99999999999?j\\u-99999999999?k"
                 "{\\uc99999999 \\u65 0123456789abcdefghijkl}"),
            d);
    EXPECT_EQ(plainText(d), QString::fromUtf8("abcdefhi\uFFFDj\uFFFDkAghijkl"))
        << "\\uc is bounded (16), \\u beyond 16 bits is U+FFFD";
    EXPECT_EQ(formatOf(d, "a").fontPointSize(), 1638.0);
    EXPECT_EQ(formatOf(d, "b").fontPointSize(), 1638.0);
    EXPECT_EQ(formatOf(d, "c").fontPointSize(), 1638.0) << "a negative size keeps the previous";
    EXPECT_EQ(formatOf(d, "d").fontPointSize(), 1638.0) << "a zero size keeps the previous";
    EXPECT_EQ(formatOf(d, "e").fontPointSize(), 15.0);
    EXPECT_DOUBLE_EQ(d.begin().blockFormat().leftMargin(), -31680 / 15.0);
    EXPECT_EQ(formatOf(d, "h").foreground().style(), Qt::NoBrush) << "no such colour";
    EXPECT_EQ(formatOf(d, "i").fontFamilies().toStringList().value(0), QStringLiteral("Arial"))
        << "an unknown font shows in the default font";
}

TEST(RtfReader, DeepNestingIsReadFlatInLinearTime) {
    for (const int depth : {300, 100000}) {
        QByteArray rtf = "{\\rtf1 Start";
        rtf += QByteArray("{\\b ").repeated(depth) + " deep" + QByteArray("}").repeated(depth);
        rtf += " end\\par}";
        QElapsedTimer timer;
        timer.start();
        QTextDocument d;
        readRtf(rtf, d);
        EXPECT_EQ(plainText(d), QStringLiteral("Start deep end")) << depth;
        EXPECT_EQ(formatOf(d, "deep").fontWeight(), QFont::Bold);
        EXPECT_NE(formatOf(d, " end").fontWeight(), QFont::Bold) << "closing braces still count";
    }
    // A starred destination inside a flat group is skipped to its own end only.
    QByteArray rtf = "{\\rtf1 a" + QByteArray("{").repeated(1000) + "{\\*\\x hidden}b" +
                     QByteArray("}").repeated(1000) + "c}";
    EXPECT_EQ(read(rtf), QStringLiteral("abc"));
}
