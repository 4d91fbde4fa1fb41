// The handler guard: a failure stops the handler, is reported once by the outermost handler,
// and the program goes on.
#include "platform/ErrorGuard.h"
#include "platform/AppFolder.h"
#include "platform/Error.h"
#include "support/PlatformFakes.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tolvane;

TEST(ErrorGuard, FailureStopsHandlerAndIsReportedOnceWithNumber) {
    test::PlatformFakes fakes;
    int stepsRun = 0;
    platform::runGuarded([&] {
        ++stepsRun;
        throw NumberedError(3024, QStringLiteral("Could not find file '/x/db2.mdb'."));
        ++stepsRun; // never reached
    });
    EXPECT_EQ(stepsRun, 1);
    ASSERT_EQ(fakes.messages->calls.size(), 1u);
    EXPECT_EQ(fakes.messages->calls[0].title, QStringLiteral("Tolvane"));
    EXPECT_EQ(fakes.messages->calls[0].style, platform::Critical);
    EXPECT_TRUE(fakes.messages->calls[0].text.contains(QStringLiteral("3024")));
    EXPECT_TRUE(fakes.messages->calls[0].text.contains(QStringLiteral("/x/db2.mdb")));
}

TEST(ErrorGuard, AFailureToldInPlainWordsIsShownAsItIsWithoutItsNumber) {
    test::PlatformFakes fakes;
    const QString text = QStringLiteral("The file /x/names.mdb is empty.\n\nPut it back.");
    platform::runGuarded([&] { throw NumberedError(3343, text, Telling::PlainWords); });
    ASSERT_EQ(fakes.messages->calls.size(), 1u);
    EXPECT_EQ(fakes.messages->calls[0].text, text);
    EXPECT_EQ(fakes.messages->calls[0].style, platform::Critical);
}

TEST(ErrorGuard, NestedHandlerFailureStopsOuterHandlerTooAndReportsOnce) {
    test::PlatformFakes fakes;
    bool outerContinued = false;
    platform::runGuarded([&] {
        platform::runGuarded([] { throw NumberedError(3075, QStringLiteral("inner")); });
        outerContinued = true;
    });
    EXPECT_FALSE(outerContinued);
    EXPECT_EQ(fakes.messages->calls.size(), 1u);
    EXPECT_FALSE(platform::insideHandler());
    // The guard works again afterwards.
    platform::runGuarded([] { throw std::runtime_error("plain failure"); });
    ASSERT_EQ(fakes.messages->calls.size(), 2u);
    EXPECT_TRUE(fakes.messages->calls[1].text.contains(QStringLiteral("plain failure")));
}

TEST(ErrorGuard, QuietHandlerShowsNothing) {
    test::PlatformFakes fakes;
    bool ran = false;
    platform::runGuarded([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_TRUE(fakes.messages->calls.empty());
}

TEST(ProgramStart, FailuresAreSwallowed) {
    test::PlatformFakes fakes;
    fakes.starter->throws = true;
    platform::startIgnoringErrors(platform::makerWebPage());
    fakes.starter->throws = false;
    fakes.starter->fail = true;
    platform::startIgnoringErrors(platform::makerMailto());
    ASSERT_EQ(fakes.starter->started.size(), 2u);
    EXPECT_EQ(fakes.starter->started[1].toString(), QStringLiteral("mailto:info@kestrane.example"));
    EXPECT_TRUE(fakes.messages->calls.empty());
}

TEST(AppFolder, OverrideAndRestore) {
    platform::setApplicationFolder(QStringLiteral("/tmp/somewhere"));
    EXPECT_EQ(platform::applicationFolder(), QStringLiteral("/tmp/somewhere"));
    platform::setApplicationFolder(QString());
    EXPECT_FALSE(platform::applicationFolder().isEmpty());
}
