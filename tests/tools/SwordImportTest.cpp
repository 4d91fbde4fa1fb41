// SWORD dictionary modules: how entries become rows (keys trimmed, each entry a row of its
// own, empty texts kept, markup left over found), and the refusals: no such module, a module that
// is no dictionary, and damaged copies of Nave's Topical Bible, each of which must leave the output
// as it was.
#include "ImportTestSupport.h"
#include "SwordTestLibrary.h"
#include "support/TestSupport.h"

#include "import/ImportTool.h"
#include "import/SwordImport.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace tolvane;
using import::ImportError;

namespace {

// --- entries to rows ------------------------------------------------------------------------

struct RowsCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> entries; // key, rendering
    std::vector<std::pair<const char*, const char*>> rows;    // headword, definition
    QStringList repeated, empty;
    int leftOut;
    bool markupLeft;
};

void PrintTo(const RowsCase& c, std::ostream* os) {
    *os << c.name;
}

class SwordRows : public ::testing::TestWithParam<RowsCase> {};

TEST_P(SwordRows, BecomeTheStoredHeadwordsAndDefinitions) {
    const RowsCase& c = GetParam();
    import::SwordImportResult result;
    import::SwordRowMaker maker(result);
    std::vector<import::SwordRow> rows;
    for (const auto& [key, text] : c.entries)
        if (auto row = maker.row({key, text}))
            rows.push_back(*row);
    ASSERT_EQ(rows.size(), c.rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].headword, QString::fromUtf8(c.rows[i].first));
        EXPECT_EQ(rows[i].definition, QString::fromUtf8(c.rows[i].second));
    }
    EXPECT_EQ(result.repeatedKeys, c.repeated);
    EXPECT_EQ(result.emptyKeys, c.empty);
    EXPECT_EQ(result.leftOutKeys.size(), c.leftOut);
    EXPECT_EQ(!result.markupLeftKeys.isEmpty(), c.markupLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, SwordRows,
    ::testing::Values(
        RowsCase{"KeysTrimmedLetterCaseKept",
                 {{"  Abase \t", "To humble."}},
                 {{"Abase", "To humble."}},
                 {},
                 {},
                 0,
                 false},
        RowsCase{"SameKeyInAnyCaseARowPerEntryInModuleOrder",
                 {{"SIN", "A desert."},
                  {"Sin", "Wrongdoing."},
                  {"Zoar", "z"},
                  {"SIN ", "A desert."},
                  {"zoar", ""}},
                 {{"SIN", "A desert."},
                  {"Sin", "Wrongdoing."},
                  {"Zoar", "z"},
                  {"SIN", "A desert."},
                  {"zoar", ""}},
                 {"SIN", "Zoar"},
                 {"zoar"},
                 0,
                 false},
        RowsCase{"EmptyTextKeepsItsHeadword",
                 {{"Empty", "  \n "}, {"Full", "x"}},
                 {{"Empty", ""}, {"Full", "x"}},
                 {},
                 {"Empty"},
                 0,
                 false},
        RowsCase{"BlankKeyLeftOut", {{"   ", "lost"}, {"A", "a"}}, {{"A", "a"}}, {}, {}, 1, false},
        RowsCase{"RenderingTrimmedLineBreaksCrLfEntitiesDecoded",
                 {{"A", " \tLine one\nLine &gt; two &amp; &#233;&#x3b1;\r\n\r\nThird\n"}},
                 {{"A", "Line one\r\nLine > two & \u00e9\u03b1\r\n\r\nThird"}},
                 {},
                 {},
                 0,
                 false},
        RowsCase{"TagLeftIsMarkup",
                 {{"A", "see <ref>x</ref>"}},
                 {{"A", "see <ref>x</ref>"}},
                 {},
                 {},
                 0,
                 true},
        RowsCase{"RtfControlWordIsMarkup",
                 {{"A", "one\\par two"}},
                 {{"A", "one\\par two"}},
                 {},
                 {},
                 0,
                 true}),
    [](const auto& p) { return std::string(p.param.name); });

// --- refusals -------------------------------------------------------------------------------

// Points libsword at a library of the test's own (and at an empty home, so that ~/.sword
// plays no part) for the life of the object.
class SwordLibraryFolder {
public:
    SwordLibraryFolder()
        : m_oldPath(qgetenv("SWORD_PATH")), m_oldHome(qgetenv("HOME")),
          m_hadPath(qEnvironmentVariableIsSet("SWORD_PATH")) {
        QDir().mkpath(library());
        QDir().mkpath(home());
        qputenv("SWORD_PATH", QFile::encodeName(library()));
        qputenv("HOME", QFile::encodeName(home()));
    }
    ~SwordLibraryFolder() {
        if (m_hadPath)
            qputenv("SWORD_PATH", m_oldPath);
        else
            qunsetenv("SWORD_PATH");
        qputenv("HOME", m_oldHome);
    }
    QString library() const { return m_dir.filePath(QStringLiteral("library")); }
    QString home() const { return m_dir.filePath(QStringLiteral("home")); }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldPath, m_oldHome;
    bool m_hadPath;
};

class SwordRefusal : public test::ImportFolderTest {
protected:
    // Runs an import into an existing output that must be refused; checks that the output
    // and its folder are as they were, and returns the message.
    QString refused(const QString& module, int timeoutMs = 20'000, const QString& helper = {}) {
        const QString output = path(QStringLiteral("data.mdb"));
        test::writeFile(output, "previous file");
        import::SwordImportRequest request;
        request.dictionary = &data::eastonsConfig();
        request.module = module;
        request.output = output;
        request.read.timeoutMs = timeoutMs;
        request.read.helperPath = helper;
        QString message;
        try {
            import::importSword(request);
            ADD_FAILURE() << "module " << module.toStdString() << " was converted";
        } catch (const ImportError& e) {
            message = e.describe();
        }
        EXPECT_EQ(test::readFile(output), "previous file");
        EXPECT_EQ(test::folderEntries(dir.path()), QStringList{QStringLiteral("data.mdb")});
        return message;
    }
    SwordLibraryFolder folder;
};

TEST_F(SwordRefusal, MissingModuleNamesTheFoldersSearched) {
    const QString message = refused(QStringLiteral("NoSuchModule"));
    EXPECT_TRUE(message.contains(QStringLiteral("SWORD module NoSuchModule")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(folder.library() + u'/')) << message.toStdString();
    EXPECT_TRUE(message.contains(folder.home() + QStringLiteral("/.sword/")))
        << message.toStdString();
}

TEST_F(SwordRefusal, BibleTextIsRefusedNamingItsType) {
    QDir(folder.library()).mkpath(QStringLiteral("mods.d"));
    test::writeFile(folder.library() + QStringLiteral("/mods.d/bible.conf"),
                    "[TestBible]\nDataPath=./modules/texts/rawtext/testbible/\nModDrv=RawText\n"
                    "Description=A Bible text\n");
    const QString message = refused(QStringLiteral("TestBible"));
    EXPECT_TRUE(message.contains(QStringLiteral("\"Biblical Texts\""))) << message.toStdString();
}

struct Damage {
    const char* name;
    const char* suffix; // of the damaged file: .idx, .dat, .zdx, .zdt
    enum { Garble, Truncate, Empty, Remove, HalveRecords, DropLastRecord } how;
    bool namesFile = false; // the message names the damaged file
};

void PrintTo(const Damage& d, std::ostream* os) {
    *os << d.name;
}

class DamagedModule : public SwordRefusal, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedModule, IsRefusedAndLeavesTheOutputAlone) {
    TOLVANE_REQUIRE_SWORD_MODULE(QStringLiteral("Nave"));
    const Damage d = GetParam();
    const QString data = test::copyModuleLibrary(QStringLiteral("Nave"), folder.library());
    QStringList files = QDir(data).entryList({QStringLiteral("*") + QLatin1String(d.suffix)});
    ASSERT_EQ(files.size(), 1);
    const QString file = QDir::cleanPath(QDir(data).filePath(files.first()));
    QByteArray bytes = test::readFile(file);
    switch (d.how) {
    case Damage::Garble: {
        QRandomGenerator random(20261207);
        for (qsizetype i = 0; i < bytes.size() / 20; ++i)
            bytes[random.bounded(bytes.size())] = char(random.bounded(256));
        break;
    }
    case Damage::Truncate:
        bytes.truncate(bytes.size() / 2 + 3);
        break;
    case Damage::Empty:
        bytes.clear();
        break;
    case Damage::HalveRecords: // still whole records: libsword sees half the entries
        bytes.truncate(bytes.size() / 16 * 8);
        break;
    case Damage::DropLastRecord:
        bytes.chop(8);
        break;
    case Damage::Remove:
        QFile::remove(file);
        break;
    }
    if (d.how != Damage::Remove)
        test::writeFile(file, bytes);
    // Some damage sends libsword round in circles; the limit keeps the test short.
    const QString message = refused(QStringLiteral("Nave"), 6'000);
    EXPECT_TRUE(message.startsWith(QStringLiteral("SWORD module Nave: "))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("damaged"))) << message.toStdString();
    if (d.namesFile) {
        EXPECT_TRUE(message.contains(file)) << message.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    NavesTopicalBible, DamagedModule,
    ::testing::Values(Damage{"IndexGarbled", ".idx", Damage::Garble},
                      Damage{"IndexEmpty", ".idx", Damage::Empty},
                      Damage{"IndexHalved", ".idx", Damage::HalveRecords, true},
                      Damage{"IndexLastRecordCut", ".idx", Damage::DropLastRecord, true},
                      Damage{"IndexCutMidRecord", ".idx", Damage::Truncate, true},
                      Damage{"KeysGarbled", ".dat", Damage::Garble},
                      Damage{"KeysTruncated", ".dat", Damage::Truncate},
                      Damage{"KeysMissing", ".dat", Damage::Remove},
                      Damage{"BlockIndexGarbled", ".zdx", Damage::Garble},
                      Damage{"BlocksTruncated", ".zdt", Damage::Truncate}),
    [](const auto& p) { return std::string(p.param.name); });

// The rows are stored while the helper still reads: an answer that breaks off after many
// entries must leave the output as it was all the same.
struct BreakOff {
    const char* name;
    const char* scriptEnd; // after the helper's answer is cut off
    const char* cause;     // in the message
};

void PrintTo(const BreakOff& b, std::ostream* os) {
    *os << b.name;
}

class BrokenOffAnswer : public SwordRefusal, public ::testing::WithParamInterface<BreakOff> {};

TEST_P(BrokenOffAnswer, LeavesTheOutputAlone) {
    TOLVANE_REQUIRE_SWORD_MODULE(QStringLiteral("Nave"));
    test::copyModuleLibrary(QStringLiteral("Nave"), folder.library());
    const QString helper = folder.home() + QStringLiteral("/broken-helper");
    test::writeFile(helper, "#!/bin/sh\n\"" + QFile::encodeName(import::swordReaderPath()) +
                                "\" \"$@\" | head -c 400000\n" + GetParam().scriptEnd + "\n");
    QFile::setPermissions(helper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString message = refused(QStringLiteral("Nave"), 20'000, helper);
    EXPECT_TRUE(message.contains(QLatin1String(GetParam().cause))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("probably damaged"))) << message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(AfterAThousandEntries, BrokenOffAnswer,
                         ::testing::Values(BreakOff{"Ends", "exit 0", "it ends early"},
                                           BreakOff{"Dies", "kill -KILL $$", "stopped abnormally"}),
                         [](const auto& p) { return std::string(p.param.name); });

// --- the command line -----------------------------------------------------------------------

int runTool(const QStringList& arguments, QString& out, QString& err, bool terminal = false) {
    QTextStream outStream(&out), errStream(&err);
    import::ToolOptions options;
    options.errIsTerminal = terminal;
    return import::runImportTool(QStringList{QStringLiteral("tolvane-import")} + arguments,
                                 outStream, errStream, options);
}

TEST(SwordCommandLine, ListsTheInstalledDictionariesWithTheirEntryCounts) {
    TOLVANE_REQUIRE_SWORD_MODULE(QStringLiteral("Nave"));
    QString out, err;
    ASSERT_EQ(runTool({QStringLiteral("--sword-list")}, out, err), import::ExitOk)
        << err.toStdString();
    const QStringList lines = out.split(u'\n', Qt::SkipEmptyParts);
    const auto nave = std::find_if(lines.begin(), lines.end(), [](const QString& line) {
        return line.startsWith(QStringLiteral("Nave "));
    });
    ASSERT_NE(nave, lines.end()) << out.toStdString();
    EXPECT_EQ(nave->simplified(),
              QStringLiteral("Nave Nave's Topical Bible 5322 /usr/share/sword/"));
}

TEST(SwordCommandLine, MissingModuleExitsWithStatusOneAndKeepsTheOutput) {
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("names.mdb"));
    test::writeFile(output, "previous file");
    QString out, err;
    EXPECT_EQ(
        runTool({QStringLiteral("--sword"), QStringLiteral("NoSuchModule"), output}, out, err),
        import::ExitFailed);
    EXPECT_TRUE(err.contains(QStringLiteral("no such module is installed; searched ")))
        << err.toStdString();
    EXPECT_TRUE(err.contains(output + QStringLiteral(" is unchanged"))) << err.toStdString();
    EXPECT_EQ(test::readFile(output), "previous file");
}

TEST(SwordCommandLine, ShowsProgressOnATerminalAndNamesTheRepeatedKeys) {
    TOLVANE_REQUIRE_SWORD_MODULE(QStringLiteral("Nave"));
    qputenv("SWORD_PATH", test::kDebianSwordFolder);
    QTemporaryDir dir;
    QString out, err;
    const int status = runTool({QStringLiteral("--sword"), QStringLiteral("Nave"),
                                dir.filePath(QStringLiteral("data.mdb"))},
                               out, err, true);
    qunsetenv("SWORD_PATH");
    ASSERT_EQ(status, import::ExitOk) << err.toStdString();
    EXPECT_TRUE(err.startsWith(QStringLiteral("tolvane-import: reading SWORD module Nave\n")));
    EXPECT_TRUE(err.endsWith(QStringLiteral("\rtolvane-import: 5322 rows (100%)   \n")))
        << err.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("2 headword(s) have more than one entry, each a row of "
                                            "its own: REVERENCE, SIN")))
        << out.toStdString();
}

TEST(SwordCommandLine, AnOutputOfAnotherNameNeedsADictionary) {
    QString out, err;
    EXPECT_EQ(runTool({QStringLiteral("--sword"), QStringLiteral("Nave"),
                       QStringLiteral("/tmp/nave.txt")},
                      out, err),
              import::ExitUsage);
    EXPECT_TRUE(err.contains(QStringLiteral("cannot tell the dictionary from the name")));
}

} // namespace
