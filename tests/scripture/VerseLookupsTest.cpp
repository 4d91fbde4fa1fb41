// Lookups away from the UI thread, against stand-in helpers written here: one that never
// answers (the event loop runs on while it is waited for, and the note comes after the
// timeout), one killed in the middle of a lookup (the next lookup starts a new one), and a
// slow one behind the Scripture window.

#include "scripture/VerseLookups.h"
#include "scripture/ScriptureWindow.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>

using namespace tolvane;
using scripture::Passage;
using scripture::VerseLookups;

namespace {

const references::VerseRange kGen1_1{0, 1, 1, 1, 1};

class VerseLookupsTest : public ::testing::Test {
protected:
    QString helper(const QByteArray& script) {
        QFile file(dir.filePath("helper.sh"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + script);
        file.close();
        file.setPermissions(file.permissions() | QFile::ExeOwner);
        return file.fileName();
    }
    QTemporaryDir dir;
};

TEST_F(VerseLookupsTest, AHungHelperIsGivenUpAfterItsTimeoutWhileTheEventLoopRuns) {
    VerseLookups lookups(helper("exec sleep 60\n"), 300);
    int turns = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++turns; });
    tick.start(10);
    std::vector<QString> notes;
    QElapsedTimer clock;
    clock.start();
    auto note = [&](const Passage& p) { notes.push_back(p.note); };
    lookups.passage(VerseLookups::Channel::Tip, kGen1_1, 1, {}, note);
    lookups.passage(VerseLookups::Channel::Tip, kGen1_1, 1, {}, note); // supersedes the first
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notes.empty(); }, 5000));
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_GT(turns, 15); // the UI thread was never waiting for the helper
    QTest::qWait(400);
    EXPECT_EQ(notes, std::vector<QString>{"The Bible reader did not answer in time."});

    // Going away in the middle of a lookup does not wait for the helper's timeout.
    auto slow = std::make_unique<VerseLookups>(helper("exec sleep 60\n"), 20000);
    slow->passage(VerseLookups::Channel::Window, kGen1_1, 1, {}, note);
    QTest::qWait(200);
    clock.restart();
    slow.reset();
    EXPECT_LT(clock.elapsed(), 2000);
}

// The program's end never leaves a helper behind, even one in the middle of a lookup: it is
// gone (ended and reaped) by the time its owner's destruction returns.
TEST_F(VerseLookupsTest, TheHelperIsGoneAsSoonAsItsOwnerIs) {
    const QString pidFile = dir.filePath("pid");
    const auto pidOf = [&]() -> pid_t {
        QFile file(pidFile);
        return file.open(QIODevice::ReadOnly) ? pid_t(file.readAll().trimmed().toLongLong()) : 0;
    };
    const auto gone = [](pid_t pid) { return ::kill(pid, 0) == -1 && errno == ESRCH; };
    // In the middle of a lookup that would not end for a long while.
    auto lookups = std::make_unique<VerseLookups>(
        helper("echo $$ > " + pidFile.toUtf8() + "\nexec sleep 60\n"), 20000);
    lookups->passage(VerseLookups::Channel::Window, kGen1_1, 1, {}, [](const Passage&) {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return pidOf() > 0; }, 5000));
    const pid_t busy = pidOf();
    lookups.reset();
    EXPECT_TRUE(gone(busy));
}

TEST_F(VerseLookupsTest, AHelperKilledInTheMiddleOfALookupIsReplacedByTheNextOne) {
    // The first helper dies on its first request; the next one answers.
    const QString marker = dir.filePath("started-once");
    VerseLookups lookups(
        helper("read request\n"
               "if [ ! -e " +
               marker.toUtf8() + " ]; then touch " + marker.toUtf8() +
               "; kill -KILL $$; fi\n"
               "set -- $request\n"
               "printf 'M\\tPlain\\tKJV\\nT\\t1\\t1\\tIn the beginning.\\nZ\\t1\\t%s\\n' $1\n"
               "exec sleep 60\n"),
        3000);
    std::vector<Passage> answers;
    auto keep = [&](const Passage& p) { answers.push_back(p); };
    lookups.passage(VerseLookups::Channel::Tip, kGen1_1, 1, {}, keep);
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers.size() == 1; }, 5000));
    EXPECT_EQ(answers[0].note, "The Bible reader stopped; hover again to retry.");
    lookups.passage(VerseLookups::Channel::Tip, kGen1_1, 1, {}, keep);
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers.size() == 2; }, 5000));
    ASSERT_EQ(answers[1].verses.size(), 1u) << answers[1].note.toStdString();
    EXPECT_EQ(answers[1].verses[0].text, "In the beginning.");
    EXPECT_EQ(answers[1].abbreviation, "KJV");
}

// The window is shown at once with the reference; the passage and the Bibles come when the
// slow helper answers, and a later click's passage replaces one not yet come.
TEST_F(VerseLookupsTest, TheScriptureWindowShowsThePassageWhenItComes) {
    VerseLookups lookups(helper("while read r; do set -- $r; case \"$2\" in\n"
                                "B) printf 'B\\tPlain\\tKJV\\tTest Bible\\nZ\\t0\\t%s\\n' $1;;\n"
                                "*) sleep 0.3; printf 'M\\tPlain\\tKJV\\nT\\t%s\\t%s"
                                "\\tVerse %s.\\nZ\\t1\\t%s\\n' $4 $5 $5 $1;;\n"
                                "esac; done\n"),
                         3000);
    scripture::ScriptureWindow window(lookups);
    QElapsedTimer clock;
    clock.start();
    window.showRange({0, 1, 1, 1, 1});
    window.showRange({0, 1, 2, 1, 2});
    EXPECT_LT(clock.elapsed(), 250); // not waiting for the helper
    EXPECT_EQ(window.lblReference()->text(), "Genesis 1:2");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.txtPassage()->toPlainText().isEmpty(); }));
    EXPECT_EQ(window.lblReference()->text(), "Genesis 1:2 (KJV)");
    EXPECT_EQ(window.txtPassage()->toPlainText(), "2 Verse 2.");
    EXPECT_EQ(window.cboBible()->count(), 1); // the installed Bibles only
    QTest::qWait(400);
    EXPECT_EQ(window.txtPassage()->toPlainText(), "2 Verse 2."); // 1:1's answer never shown
}

} // namespace
