// Dictionaries of their own, beside the three: tolvane-import writes them into the dictionary
// folder with their title and source (--sword MODULE alone, or a CSV file with --title), keeps
// what the modules hold (lines, references and links as their shown text) in every markup and
// driver, and marks a dictionary keyed by number so that "G11" finds "00011".

#include "data/AddedDictionaries.h"
#include "data/NumberedKeys.h"
#include "import/ImportTool.h"
#include "support/SwordModuleMaker.h"
#include "support/TestSupport.h"
#include "tools/ImportTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

using namespace tolvane;

namespace {

// libsword and the dictionary folder pointed at folders of the test's own.
class AddedImportTest : public ::testing::Test {
protected:
    AddedImportTest() {
        for (const char* name : {"SWORD_PATH", "HOME", "XDG_DATA_HOME"})
            m_saved.push_back({name, qgetenv(name)});
        QDir().mkpath(library());
        qputenv("SWORD_PATH", QFile::encodeName(library()));
        qputenv("HOME", QFile::encodeName(m_dir.filePath("home")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath("data")));
    }
    ~AddedImportTest() override {
        for (const auto& [name, value] : m_saved)
            qputenv(name, value);
    }
    QString library() const { return m_dir.filePath("library"); }
    QString dictionaryFolder() const { return m_dir.filePath("data/tolvane"); }
    int run(const QStringList& arguments) {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        return import::runImportTool(QStringList{"tolvane-import"} + arguments, o, e);
    }
    // The definitions stored in an added dictionary, by headword.
    std::map<QString, QString> definitions(const QString& file) {
        std::map<QString, QString> found;
        for (const auto& row : test::storedRows(file, "dbwords", {"dbword", "dbdesc"}))
            found[QString::fromUtf8(row[0])] = QString::fromUtf8(row[1]);
        return found;
    }

    QTemporaryDir m_dir;
    std::vector<std::pair<const char*, QByteArray>> m_saved;
    QString out, err;
};

TEST_F(AddedImportTest, SwordModuleAloneBecomesATitledDictionaryInTheFolder) {
    TOLVANE_REQUIRE_IMP2LD();
    ASSERT_EQ(
        test::makeSwordModule(
            library(),
            {"Topics", "Test Topical Bible", "ThML", "RawLD", {{"Faith", "Trust.<br/>Hope."}}}),
        "");
    ASSERT_EQ(run({"--sword", "Topics"}), import::ExitOk) << err.toStdString();
    const QString file = QDir(dictionaryFolder()).filePath("Topics.sqlite");
    const auto facts = data::readAddedFacts(file);
    ASSERT_TRUE(facts.has_value()) << out.toStdString();
    EXPECT_EQ(facts->title, "Test Topical Bible");
    EXPECT_EQ(facts->source, "SWORD module Topics");
    EXPECT_EQ(facts->keyDigits, 0);
    const auto& listed = data::rescanAddedDictionaries(dictionaryFolder());
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0]->mainCaption, "Tolvane - Test Topical Bible");
    EXPECT_EQ(listed[0]->table, data::eastonsConfig().table);
}

TEST_F(AddedImportTest, CsvWithATitleBecomesOneAndRefusesADictionaryName) {
    const QString csv = m_dir.filePath("gloss.csv");
    test::writeFile(csv, "dbword,dbdesc\nAmen,So be it\n");
    ASSERT_EQ(run({"--title", "Church Glossary", csv}), import::ExitOk) << err.toStdString();
    const auto facts =
        data::readAddedFacts(QDir(dictionaryFolder()).filePath("Church_Glossary.sqlite"));
    ASSERT_TRUE(facts.has_value());
    EXPECT_EQ(facts->title, "Church Glossary");
    EXPECT_EQ(facts->source, "CSV file gloss.csv");
    EXPECT_EQ(run({"--title", "X", "--dictionary", "eastons", csv}), import::ExitUsage);
    EXPECT_TRUE(err.contains("cannot be given with --dictionary")) << err.toStdString();
}

// Names that make one file name each get a file of their own; a file a user already has keeps
// its name; a module whose name looks like an option is still a name.
TEST_F(AddedImportTest, EveryModuleAndTitleKeepsAFileOfItsOwn) {
    TOLVANE_REQUIRE_IMP2LD();
    for (const char* name : {"Same.Name", "Same_Name", "-rf"})
        ASSERT_EQ(test::makeSwordModule(library(), {name,
                                                    QString("Made as ") + name,
                                                    "ThML",
                                                    "RawLD",
                                                    {{"Word", QString("From ") + name}}}),
                  "");
    const auto sourceOf = [this](const QString& file) {
        const auto facts = data::readAddedFacts(QDir(dictionaryFolder()).filePath(file));
        return facts ? facts->source : QString("(none)");
    };
    for (const char* name : {"Same.Name", "Same_Name", "Same.Name", "-rf"})
        ASSERT_EQ(run({"--sword", name}), import::ExitOk) << name << ": " << err.toStdString();
    EXPECT_EQ(sourceOf("Same_Name.sqlite"), "SWORD module Same.Name"); // added again in place
    EXPECT_EQ(sourceOf("Same_Name-2.sqlite"), "SWORD module Same_Name");
    EXPECT_EQ(sourceOf("-rf.sqlite"), "SWORD module -rf");
    EXPECT_EQ(definitions(QDir(dictionaryFolder()).filePath("-rf.sqlite"))["WORD"], "From -rf");
    EXPECT_EQ(data::rescanAddedDictionaries(dictionaryFolder()).size(), 3u);

    // Titles likewise: the same title replaces its file, another gets its own.
    const QString csv = m_dir.filePath("gloss.csv");
    test::writeFile(csv, "dbword,dbdesc\nAmen,So be it\n");
    for (const char* title : {"A.B", "A_B", "A.B"})
        ASSERT_EQ(run({"--title", title, csv}), import::ExitOk) << err.toStdString();
    EXPECT_EQ(data::readAddedFacts(QDir(dictionaryFolder()).filePath("A_B.sqlite"))->title, "A.B");
    EXPECT_EQ(data::readAddedFacts(QDir(dictionaryFolder()).filePath("A_B-2.sqlite"))->title,
              "A_B");
    EXPECT_FALSE(QFile::exists(QDir(dictionaryFolder()).filePath("A_B-3.sqlite")));
}

// The same entries in every markup and driver: lines stay lines, and a Scripture reference or a
// link to another entry stays as the words it shows.
struct Kind {
    const char* markup;
    const char* driver;
    const char* faith; // "Trust", a line break, "Hope", a line break, a reference to Heb. 11:1
    const char* grace; // a link to the entry Faith
    bool lines = true; // imp2ld joins the lines of a plain text: it can hold none
};

class MarkupKinds : public AddedImportTest, public ::testing::WithParamInterface<Kind> {};

TEST_P(MarkupKinds, KeepLinesReferencesAndLinksAsTheirShownText) {
    TOLVANE_REQUIRE_IMP2LD();
    const Kind& k = GetParam();
    ASSERT_EQ(test::makeSwordModule(
                  library(),
                  {"Kinds", "Kinds", k.markup, k.driver, {{"Faith", k.faith}, {"Grace", k.grace}}}),
              "");
    const QString file = m_dir.filePath("kinds.sqlite");
    ASSERT_EQ(run({"--sword", "Kinds", file}), import::ExitOk) << err.toStdString();
    const auto defs = definitions(file);
    ASSERT_EQ(defs.size(), 2u);
    const QStringList lines = defs.at("FAITH").split("\r\n");
    if (k.lines) {
        EXPECT_EQ(lines.value(0), "Trust") << defs.at("FAITH").toStdString();
        EXPECT_EQ(lines.value(1), "Hope") << defs.at("FAITH").toStdString();
    }
    EXPECT_TRUE(defs.at("FAITH").contains("Heb. 11:1")) << defs.at("FAITH").toStdString();
    EXPECT_TRUE(defs.at("GRACE").contains("See Faith")) << defs.at("GRACE").toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    EveryMarkup, MarkupKinds,
    ::testing::Values(Kind{"Plain", "RawLD", "Trust Hope Heb. 11:1", "See Faith", false},
                      Kind{"ThML", "RawLD4",
                           "Trust<br/>Hope<br/><scripRef passage=\"Heb 11:1\">Heb. 11:1</scripRef>",
                           "See <reflink target=\"Faith\">Faith</reflink>"},
                      Kind{"GBF", "zLD", "Trust<CM>Hope<CM>Heb. 11:1", "See Faith"},
                      Kind{"OSIS", "zLD",
                           "<p>Trust</p><p>Hope</p><ref osisRef=\"Heb.11.1\">Heb. 11:1</ref>",
                           "See <ref target=\"Kinds:Faith\">Faith</ref>"},
                      Kind{"TEI", "zLD",
                           "<p>Trust</p><p>Hope</p><ref osisRef=\"Heb.11.1\">Heb. 11:1</ref>",
                           "See <ref target=\"Kinds:Faith\">Faith</ref>"}),
    [](const auto& p) { return std::string(p.param.markup) + p.param.driver; });

TEST_F(AddedImportTest, NumberedKeysAreMarkedAndTypedNumbersFindThem) {
    TOLVANE_REQUIRE_IMP2LD();
    ASSERT_EQ(test::makeSwordModule(library(), {"Numbers",
                                                "Test Greek Lexicon",
                                                "Plain",
                                                "RawLD",
                                                {{"00011", "agape"}, {"00012", "agapetos"}}}),
              "");
    ASSERT_EQ(run({"--sword", "Numbers"}), import::ExitOk) << err.toStdString();
    const auto& listed = data::rescanAddedDictionaries(dictionaryFolder());
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0]->keyDigits, 5);
    for (const char* typed : {"G11", "h11", "11", "0011", "00011"})
        EXPECT_EQ(data::numberedKey(*listed[0], typed), "00011") << typed;
    EXPECT_EQ(data::numberedKey(*listed[0], "G1"), "00001");
    EXPECT_EQ(data::numberedKey(*listed[0], "G"), ""); // on the way to G11: every key
    EXPECT_EQ(data::numberedKey(*listed[0], "agape"), "agape");
    EXPECT_EQ(data::numberedKey(data::eastonsConfig(), "11"), "11");
}

} // namespace
