// The reader against independent references: 60 real and hand-made RTF files, each with the
// body text a correct reader shows (cross-checked against other readers), and Debian's unrtf
// run live as a second opinion on the files it can read.

#include "richtext/DocumentDescription.h"
#include "richtext/PlainText.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <map>

using tolvane::richtext::plainText;
using tolvane::richtext::readRtf;
using tolvane::richtext::writeRtf;
using tolvane::test::describeDocument;
using tolvane::test::normalizeWhiteSpace;

namespace {

// Files where our text differs from the reference, and why.
const std::map<QString, QString> kKnownDifferences = {};

// Files where unrtf is known to print something else than a correct reader (its faults are
// listed file by file beside the corpus): list labels, table layout, footnotes, pictures,
// its depth limit, its notes about unknown fonts, and input that is not RTF at all.
const std::map<QString, QString> kUnrtfFaults = {
    {"hand__deep_nesting_10000", "drops the text of groups beyond its depth limit"},
    {"hand__not_rtf", "runs plain text through the RTF parser"},
    {"hand__unknown_control_long_param", "inserts '### invalid font number' into the text"},
    {"hand__bin_length", "loses the text after a \\bin inside \\pict"},
    {"hand__truncated_in_escape", "prints a stray byte for the cut-off escape"},
    {"pandoc__footnote", "prints footnote text inline"},
    {"pandoc__list_legacy", "prints \\pntext list labels"},
    {"pandoc__table_nested_malformed_itap", "runs table cells together"},
    {"pandoc__image", "prints a picture notice"},
    {"rtfpipe__Issue53", "prints \\pntext list labels"},
    {"rtfpipe__List", "prints \\pntext list labels"},
    {"rtfpipe__ListGoogle", "prints \\listtext labels"},
    {"rtfpipe__Table01", "puts cells on separate lines"},
    {"rtfpipe__nested_table_report", "runs cells together"},
    {"rtfpipe__phprtflite_image_from_strings", "prints picture file names"},
    {"rtfpipe__PictureObjectEmbed2", "prints the picture file name"},
    {"rtfpipe__RtfParserTest_fail_0", "parses input that is not RTF"},
    {"rtfpipe__RtfParserTest_fail_1", "shows text after the closing brace"},
    {"rtfpipe__RtfParserTest_fail_4", "fails on an empty file"},
    {"rtfpipe__RtfParserTest_fail_5", "parses input that is not RTF"},
    {"rtfpipe__RtfParserTest_fail_6", "parses input that is not RTF"},
    {"rtfpipe__rtf2xml_os_x_text_edit_faces_mixed", "loses a space"},
    {"rpk__testSpecialChars", "prints \\tab as spaces and a line break and loses \\ + CR"},
};

struct CorpusFile {
    QString name;
    QString path;
};

std::vector<CorpusFile> corpusFiles(const QString& dir) {
    std::vector<CorpusFile> files;
    const QStringList names = QDir(dir).entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    for (const QString& n : names)
        files.push_back({QFileInfo(n).completeBaseName(), dir + u'/' + n});
    return files;
}

QString readUtf8(const QString& path) { return QString::fromUtf8(tolvane::test::readFile(path)); }

bool isAscii(const QByteArray& bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

TEST(RtfCorpus, PlainTextMatchesTheReferenceText) {
    TOLVANE_REQUIRE_SHARED(dir, "corpus/rtf");
    const auto files = corpusFiles(dir);
    ASSERT_GE(files.size(), 60u) << "corpus incomplete in " << dir.toStdString();
    int compared = 0;
    for (const CorpusFile& file : files) {
        SCOPED_TRACE(file.name.toStdString());
        QTextDocument document;
        readRtf(tolvane::test::readFile(file.path), document);
        const QString expected = readUtf8(dir + u'/' + file.name + QStringLiteral(".expected.txt"));
        const QString actual = normalizeWhiteSpace(plainText(document));
        if (kKnownDifferences.count(file.name)) {
            EXPECT_NE(actual, normalizeWhiteSpace(expected))
                << "listed as a known difference but now matches: remove it from the list";
            continue;
        }
        EXPECT_EQ(actual, normalizeWhiteSpace(expected));
        ++compared;
    }
    EXPECT_GE(compared, 55);
}

TEST(RtfCorpus, EveryFileSurvivesTheRoundTripAndWritingIsAFixedPoint) {
    TOLVANE_REQUIRE_SHARED(dir, "corpus/rtf");
    for (const CorpusFile& file : corpusFiles(dir)) {
        SCOPED_TRACE(file.name.toStdString());
        QTextDocument first;
        readRtf(tolvane::test::readFile(file.path), first);
        const QString written = writeRtf(first);
        QTextDocument second;
        readRtf(written, second);
        EXPECT_EQ(describeDocument(second), describeDocument(first));
        EXPECT_EQ(writeRtf(second), written);
    }
}

TEST(RtfCorpus, AgreesWithUnrtfOnTheAsciiFiles) {
    TOLVANE_REQUIRE_SHARED(dir, "corpus/rtf");
    const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    if (unrtf.isEmpty())
        GTEST_SKIP() << "unrtf is not installed (scripts/setup.sh installs it)";
    QTemporaryDir scratch; // unrtf may drop picture files into its working folder
    ASSERT_TRUE(scratch.isValid());
    int compared = 0;
    for (const CorpusFile& file : corpusFiles(dir)) {
        const QByteArray bytes = tolvane::test::readFile(file.path);
        QTextDocument document;
        readRtf(bytes, document);
        const QString ours = plainText(document);
        // unrtf only handles ASCII correctly, so compare where input and text are ASCII.
        if (!isAscii(bytes) || !isAscii(ours.toUtf8()) || kUnrtfFaults.count(file.name))
            continue;
        SCOPED_TRACE(file.name.toStdString());
        QProcess process;
        process.setWorkingDirectory(scratch.path());
        process.start(unrtf, {QStringLiteral("--nopict"), QStringLiteral("--text"), file.path});
        ASSERT_TRUE(process.waitForFinished(30000));
        const QString output = QString::fromLatin1(process.readAllStandardOutput());
        // The document text follows unrtf's banner, which ends in a line of dashes.
        const qsizetype banner = output.indexOf(QStringLiteral("-----------------\n"));
        ASSERT_GE(banner, 0) << output.left(300).toStdString();
        const QString text = output.mid(banner + 18);
        EXPECT_EQ(normalizeWhiteSpace(ours), normalizeWhiteSpace(text));
        ++compared;
    }
    EXPECT_GE(compared, 15) << "too few files compared with unrtf";
}

namespace {

QTextDocument* loadCorpusFile(const QString& dir, const char* name, QTextDocument& document) {
    readRtf(tolvane::test::readFile(dir + u'/' + QLatin1String(name) + QStringLiteral(".rtf")), document);
    return &document;
}

// The formatting of the first character of `needle`.
QTextCharFormat formatAt(QTextDocument& document, const QString& needle) {
    const qsizetype at = document.toRawText().indexOf(needle);
    EXPECT_GE(at, 0) << needle.toStdString();
    QTextCursor cursor(&document);
    cursor.setPosition(int(std::max<qsizetype>(at, 0)) + 1);
    return cursor.charFormat();
}

QString familyOf(const QTextCharFormat& f) { return f.fontFamilies().toStringList().value(0); }

} // namespace

// What the reference notes ask beyond the text: formatting as each file describes it.
TEST(RtfCorpus, FormattingIsReadAsTheFilesDescribeIt) {
    TOLVANE_REQUIRE_SHARED(dir, "corpus/rtf");
    {
        QTextDocument d;
        loadCorpusFile(dir, "rpk__testStyles", d);
        EXPECT_TRUE(formatAt(d, "Test 2").fontItalic());
        EXPECT_NE(formatAt(d, "Test 2").fontWeight(), QFont::Bold);
        EXPECT_EQ(formatAt(d, "Test 3").fontWeight(), QFont::Bold);
        EXPECT_FALSE(formatAt(d, "Test 3").fontItalic());
        EXPECT_EQ(familyOf(formatAt(d, "Test 6 - Arial 11.")), QStringLiteral("Arial"));
        EXPECT_EQ(formatAt(d, "Test 6 - Arial 11.").fontPointSize(), 11.0);
        EXPECT_EQ(formatAt(d, "Test 6 - Arial 12.").fontPointSize(), 12.0);
        EXPECT_EQ(familyOf(formatAt(d, "Test 1")), QStringLiteral("Calibri"));
        EXPECT_TRUE(d.lastBlock().text().isEmpty()) << "ends with an empty paragraph";
    }
    {
        QTextDocument d;
        loadCorpusFile(dir, "hand__richedit_features", d);
        EXPECT_EQ(formatAt(d, "bold ").fontWeight(), QFont::Bold);
        EXPECT_TRUE(formatAt(d, "italic").fontItalic());
        EXPECT_TRUE(formatAt(d, "underline").fontUnderline());
        EXPECT_TRUE(formatAt(d, "strike").fontStrikeOut());
        EXPECT_EQ(formatAt(d, "red").foreground().color(), QColor(255, 0, 0));
        const QTextCharFormat blue = formatAt(d, "blue Arial 12");
        EXPECT_EQ(blue.foreground().color(), QColor(0, 0, 255));
        EXPECT_EQ(familyOf(blue), QStringLiteral("Arial"));
        EXPECT_EQ(blue.fontPointSize(), 12.0);
        EXPECT_TRUE(formatAt(d, "bold-italic").fontItalic());
        EXPECT_EQ(formatAt(d, "bold-italic").fontWeight(), QFont::Bold);
        EXPECT_NE(formatAt(d, "plain").fontWeight(), QFont::Bold);
    }
    {
        QTextDocument d;
        loadCorpusFile(dir, "rtfpipe__Issue42", d);
        const QTextCharFormat title = formatAt(d, "Overview");
        EXPECT_EQ(title.fontWeight(), QFont::Bold);
        EXPECT_EQ(title.fontPointSize(), 16.0);
        EXPECT_EQ(title.foreground().color(), QColor(0, 0, 0));
        EXPECT_EQ(d.findBlockByNumber(1).text(), QString(250, u' '));
    }
    {
        QTextDocument d;
        loadCorpusFile(dir, "rtfpipe__RtfParserTest_4", d);
        const QTextCharFormat f = formatAt(d, QString::fromUtf8("バージョン"));
        EXPECT_EQ(f.fontWeight(), QFont::Bold);
        EXPECT_TRUE(f.fontUnderline());
        EXPECT_EQ(f.fontPointSize(), 20.0);
    }
    {
        QTextDocument d;
        loadCorpusFile(dir, "rtfpipe__Issue34", d);
        const QTextCharFormat f = formatAt(d, QString::fromUtf8("У Х В А Л А"));
        EXPECT_EQ(f.fontWeight(), QFont::Bold);
        EXPECT_EQ(f.fontPointSize(), 20.0);
        EXPECT_EQ(d.begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }
    {
        QTextDocument d;
        loadCorpusFile(dir, "rpk__testNegativeUnicode", d);
        const QTextCharFormat link = formatAt(d, QStringLiteral("http://unicode-table.com"));
        EXPECT_TRUE(link.fontUnderline());
        EXPECT_EQ(link.foreground().color(), QColor(0, 0, 255));
    }
    {
        // The deep groups are read flat, yet every closing brace still counts.
        QTextDocument d;
        loadCorpusFile(dir, "hand__deep_nesting_10000", d);
        EXPECT_EQ(formatAt(d, "deep").fontWeight(), QFont::Bold);
        EXPECT_NE(formatAt(d, " end").fontWeight(), QFont::Bold);
    }
    {
        QTextDocument d;
        loadCorpusFile(dir, "hand__huge_fs", d);
        for (const char* word : {"huge", "int-max", "negative", "zero"})
            EXPECT_EQ(formatAt(d, QLatin1String(word)).fontPointSize(), 1638.0) << word;
    }
    {
        // The judgement calls, decided: text after the brace that closes {\rtf is not read,
        // and a font table left open swallows the body, as a strict reader must.
        QTextDocument d;
        loadCorpusFile(dir, "hand__unbalanced_extra_close", d);
        EXPECT_EQ(plainText(d), QStringLiteral("Before"));
        loadCorpusFile(dir, "rtfpipe__Issue49", d);
        EXPECT_EQ(normalizeWhiteSpace(plainText(d)), QStringLiteral("Verdana;"));
        loadCorpusFile(dir, "rtfpipe__RtfParserTest_fail_0", d);
        EXPECT_TRUE(plainText(d).startsWith(QStringLiteral("/{\\rtf1"))) << "not RTF: shown as it is";
    }
}
