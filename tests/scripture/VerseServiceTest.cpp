// The verses of references through the helper's verse mode, on Bibles built here with imp2vs:
// the preferred Bible and the fallback, no Bible, a book the Bible lacks, the helper killed,
// a damaged module.

#include "scripture/VerseService.h"
#include "references/Versification.h"
#include "scripture/ScriptureWindow.h"
#include "scripture/VerseLookups.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <csignal>
#include <gtest/gtest.h>

using namespace tolvane;
using references::VerseRange;

namespace {

const QString kHelper = qEnvironmentVariable("TOLVANE_BIN_DIR") + "/tolvane-swordread";

class VerseServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("imp2vs").isEmpty())
            GTEST_SKIP() << "imp2vs (Debian package libsword-utils) is not installed";
        QDir(library.path()).mkpath("mods.d");
        qputenv("SWORD_PATH", library.path().toUtf8());
        qputenv("HOME", library.path().toUtf8()); // no ~/.sword of the user's
    }
    void TearDown() override {
        qunsetenv("SWORD_PATH");
        qputenv("HOME", home);
    }
    // A Bible in the library: `verses` as "Book C:V" -> text, in imp2vs's format.
    QString addBible(const QString& name, const QString& abbreviation, const QString& v11n,
                     const std::vector<std::pair<QString, QString>>& verses) {
        const QString data = "modules/texts/rawtext/" + name.toLower() + "/";
        QDir(library.path()).mkpath(data);
        QFile imp(library.filePath(name + ".imp"));
        EXPECT_TRUE(imp.open(QIODevice::WriteOnly));
        for (const auto& [key, text] : verses)
            imp.write(("$$$" + key + "\n" + text + "\n").toUtf8());
        imp.close();
        QProcess make;
        make.start("imp2vs", {imp.fileName(), "-v", v11n, "-o", library.filePath(data)});
        EXPECT_TRUE(make.waitForFinished(30000) && make.exitCode() == 0);
        QFile conf(library.filePath("mods.d/" + name.toLower() + ".conf"));
        EXPECT_TRUE(conf.open(QIODevice::WriteOnly));
        conf.write(QStringLiteral("[%1]\nDataPath=./%2\nModDrv=RawText\nEncoding=UTF-8\n"
                                  "Versification=%3\nAbbreviation=%4\nDescription=Test %1\n")
                       .arg(name, data, v11n, abbreviation)
                       .toUtf8());
        return library.filePath(data);
    }
    QTemporaryDir library;
    QByteArray home = qgetenv("HOME");
};

const VerseRange kGen1_1{0, 1, 1, 1, 1};
const VerseRange kSir1_1{71, 1, 1, 1, 1};

TEST_F(VerseServiceTest, NoBibleInstalledSaysHowToGetOne) {
    scripture::VerseService verses(kHelper);
    const auto p = verses.passage(kGen1_1, 10);
    EXPECT_EQ(p.problem, scripture::Passage::Problem::NoBible);
    const QString tip = scripture::verseTip(kGen1_1, p);
    EXPECT_TRUE(tip.contains("Genesis 1:1")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("Install a Bible, for example the package sword-text-kjv, to read "
                             "it here."));
}

TEST_F(VerseServiceTest, KjvIsPreferredAndABookItLacksComesFromAnotherBible) {
    addBible("Other", "OTH", "KJVA",
             {{"Genesis 1:1", "Other beginning."}, {"Sirach 1:1", "All wisdom."}});
    addBible("Plain", "KJV", "KJV", {{"Genesis 1:1", "In the beginning."}});
    scripture::VerseService verses(kHelper);
    auto p = verses.passage(kGen1_1, 10);
    EXPECT_EQ(scripture::verseTip(kGen1_1, p),
              "<p><b>Genesis 1:1 (KJV)</b><br>In the beginning.</p>");
    p = verses.passage(kSir1_1, 10);
    EXPECT_EQ(p.abbreviation, "OTH");
    ASSERT_EQ(p.verses.size(), 1u);
    EXPECT_EQ(p.verses[0].text, "All wisdom.");
    EXPECT_EQ(verses.bibles().size(), 2u);
}

// The Bible chosen gives the verses; one lacking the book gives way to the next Bible that
// holds it, and the tooltip says which.
TEST_F(VerseServiceTest, TheChosenBibleDecidesAndABookItLacksComesFromTheNextSaidSo) {
    addBible("Nub", "NUB", "KJV", {{"Genesis 1:1", "New beginning."}});
    addBible("Plain", "KJV", "KJV",
             {{"Genesis 1:1", "In the beginning."}, {"Jeremiah 2:8", "Priests."}});
    addBible("Web", "WEB", "KJV",
             {{"Genesis 1:1", "Web beginning."}, {"Jeremiah 2:8", "Web priests."}});
    scripture::VerseService verses(kHelper);
    EXPECT_EQ(scripture::verseTip(kGen1_1, verses.passage(kGen1_1, 10, "Web")),
              "<p><b>Genesis 1:1 (WEB)</b><br>Web beginning.</p>");
    const VerseRange jer2_8{23, 2, 8, 2, 8};
    ASSERT_EQ(references::bookName(jer2_8.book), "Jeremiah");
    EXPECT_EQ(scripture::verseTip(jer2_8, verses.passage(jer2_8, 10, "Nub")),
              "<p><b>Jeremiah 2:8 (KJV)</b><br>Priests.</p>"
              "<p><i>NUB does not hold Jeremiah; the verses are from KJV.</i></p>");
    EXPECT_EQ(verses.passage(jer2_8, 10, "Plain").lacking, ""); // it holds the book
    // A Bible no longer installed counts as none chosen: the KJV.
    EXPECT_EQ(verses.passage(kGen1_1, 10, "Gone").abbreviation, "KJV");
}

// The window offers the installed Bibles, the KJV chosen when none was; choosing another
// changes the passage and the tooltips' Bible alike.
TEST_F(VerseServiceTest, TheScriptureWindowChoosesTheBibleOfTheTooltipsToo) {
    addBible("Plain", "KJV", "KJV", {{"Genesis 1:1", "In the beginning."}});
    addBible("Aweb", "WEB", "KJV", {{"Genesis 1:1", "Web beginning."}});
    scripture::VerseLookups lookups(kHelper);
    scripture::ScriptureWindow window(lookups);
    window.showRange(kGen1_1);
    QComboBox* box = window.cboBible();
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->count() == 2; }, 10000));
    EXPECT_EQ(box->currentText(), "KJV - Test Plain");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window.txtPassage()->toPlainText() == "1 In the beginning."; }, 10000));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Up); // to "WEB - Test Aweb", first in the list
    EXPECT_EQ(lookups.bible(), "Aweb");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window.txtPassage()->toPlainText() == "1 Web beginning."; }, 10000))
        << window.txtPassage()->toPlainText().toStdString();
    QString tip;
    lookups.passage(scripture::VerseLookups::Channel::Tip, kGen1_1, 10, lookups.bible(),
                    [&](const scripture::Passage& p) { tip = scripture::verseTip(kGen1_1, p); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !tip.isEmpty(); }, 10000));
    EXPECT_EQ(tip, "<p><b>Genesis 1:1 (WEB)</b><br>Web beginning.</p>");
}

TEST_F(VerseServiceTest, ABookNoBibleHoldsIsSaidNeverAnotherVerse) {
    addBible("Plain", "KJV", "KJV", {{"Genesis 1:1", "In the beginning."}});
    scripture::VerseService verses(kHelper);
    const auto p = verses.passage(kSir1_1, 10);
    EXPECT_EQ(p.problem, scripture::Passage::Problem::NoBook);
    EXPECT_TRUE(p.verses.empty());
    EXPECT_TRUE(
        scripture::verseTip(kSir1_1, p).contains("The installed Bibles do not hold Sirach."));
}

TEST_F(VerseServiceTest, ARangeShowsTenVersesThenAnEllipsis) {
    std::vector<std::pair<QString, QString>> chapter;
    for (int v = 1; v <= 12; ++v)
        chapter.push_back(
            {QStringLiteral("Genesis 2:%1").arg(v), QStringLiteral("Verse %1.").arg(v)});
    addBible("Plain", "KJV", "KJV", chapter);
    scripture::VerseService verses(kHelper);
    const VerseRange range{0, 2, 1, 2, 12};
    const auto p = verses.passage(range, scripture::kVersesInTip);
    EXPECT_EQ(p.total, 12);
    const QString tip = scripture::verseTip(range, p);
    EXPECT_TRUE(tip.startsWith("<p><b>Genesis 2:1-12 (KJV)</b><br>1 Verse 1. 2 Verse 2."));
    EXPECT_TRUE(tip.endsWith("10 Verse 10.\u2026</p>")) << tip.toStdString();
}

TEST_F(VerseServiceTest, AKilledHelperIsReplacedByTheNextLookup) {
    addBible("Plain", "KJV", "KJV", {{"Genesis 1:1", "In the beginning."}});
    scripture::VerseService verses(kHelper);
    ASSERT_EQ(verses.passage(kGen1_1, 1).verses.size(), 1u);
    const qint64 first = verses.helperProcessId();
    ASSERT_GT(first, 0);
    ::kill(pid_t(first), SIGKILL);
    EXPECT_EQ(verses.passage(kGen1_1, 1).verses.size(), 1u);
    EXPECT_NE(verses.helperProcessId(), first);

    // One that dies in the middle of a lookup gives a note, and the service stays usable.
    QFile dying(library.filePath("dying.sh"));
    ASSERT_TRUE(dying.open(QIODevice::WriteOnly));
    dying.write("#!/bin/sh\nread request\nkill -KILL $$\n");
    dying.close();
    dying.setPermissions(dying.permissions() | QFile::ExeOwner);
    scripture::VerseService broken(dying.fileName());
    const auto p = broken.passage(kGen1_1, 1);
    EXPECT_EQ(p.problem, scripture::Passage::Problem::Failed);
    EXPECT_EQ(p.note, "The Bible reader stopped; hover again to retry.");
}

TEST_F(VerseServiceTest, ADamagedModuleGivesAShortNote) {
    const QString data = addBible("Plain", "KJV", "KJV", {{"Genesis 1:1", "In the beginning."}});
    QFile index(data + "ot.vss");
    ASSERT_TRUE(index.resize(3));
    scripture::VerseService verses(kHelper);
    const auto p = verses.passage(kGen1_1, 10);
    EXPECT_EQ(p.problem, scripture::Passage::Problem::Failed);
    EXPECT_EQ(p.note, "Plain gives no text for these verses");
    EXPECT_TRUE(p.verses.empty());
}

// A line longer than the helper takes gets one answer, never several that the later
// requests would take for theirs.
TEST_F(VerseServiceTest, AnOverlongRequestIsRefusedWholeAndTheNextGetsItsOwnAnswer) {
    addBible("Plain", "KJV", "KJV", {{"Genesis 1:1", "In the beginning."}});
    scripture::VerseService verses(kHelper);
    const auto refused = verses.passage(kGen1_1, 1, QString(5000, u'x'));
    EXPECT_EQ(refused.problem, scripture::Passage::Problem::Failed);
    EXPECT_EQ(refused.note, "a request longer than the helper takes");
    const auto p = verses.passage(kGen1_1, 1);
    ASSERT_EQ(p.verses.size(), 1u) << p.note.toStdString();
    EXPECT_EQ(p.verses[0].text, "In the beginning.");

    QProcess helper; // each answer ends with its request's tag
    helper.start(kHelper, {"--verses"});
    helper.write("6\tV\t" + QByteArray(5000, 'x') + "\tGen\t1\t1\t1\t1\t1\n7\tB\n");
    helper.closeWriteChannel();
    ASSERT_TRUE(helper.waitForFinished(10000));
    EXPECT_EQ(helper.readAllStandardOutput(),
              "X\tdamaged\ta request longer than the helper takes\nZ\t0\t6\n"
              "B\tPlain\tKJV\tTest Plain\nZ\t0\t7\n");
}

} // namespace

namespace {

// Debian's KJV (sword-text-kjv), where installed: a verse, and Sirach, which it lacks.
TEST(InstalledKjv, GivesTheVerseAndSaysItLacksSirach) {
    if (!QFile::exists("/usr/share/sword/mods.d/engKJV2006eb.conf"))
        GTEST_SKIP() << "sword-text-kjv is not installed (scripts/setup.sh installs it)";
    scripture::VerseService verses(kHelper);
    const VerseRange gen14_5{0, 14, 5, 14, 5};
    const auto p = verses.passage(gen14_5, scripture::kVersesInTip);
    ASSERT_EQ(p.verses.size(), 1u) << p.note.toStdString();
    EXPECT_EQ(p.abbreviation, "KJV");
    EXPECT_TRUE(scripture::verseTip(gen14_5, p)
                    .startsWith("<p><b>Genesis 14:5 (KJV)</b><br>And in the fourteenth year"));
    if (verses.bibles().size() == 1) { // with sword-text-web, Sirach comes from it
        EXPECT_EQ(verses.passage(kSir1_1, 1).problem, scripture::Passage::Problem::NoBook);
    }
}

} // namespace
