// A helper run with limits: its output handed over whole, its limits passed before the
// caller's arguments, and each way a run goes wrong (a helper that hangs, one that writes
// without end, one that crashes, one that cannot start) reported as its own failure, fast.

#include "platform/HelperProcess.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

using tolvane::platform::HelperLimits;
using tolvane::platform::HelperProcess;
using Fault = HelperProcess::Fault;

namespace {

struct HelperCase {
    const char* name;
    const char* script; // a shell script; its arguments are the limits, then "x"
    std::optional<Fault> fault;
    QByteArray output; // when it ends by itself
    int exitCode;
};

void PrintTo(const HelperCase& c, std::ostream* os) {
    *os << c.name;
}

class HelperRun : public ::testing::TestWithParam<HelperCase> {};

TEST_P(HelperRun, HandsOverItsOutputOrReportsTheFault) {
    const HelperCase& c = GetParam();
    QTemporaryDir dir;
    const QString helper = dir.filePath(QStringLiteral("helper"));
    tolvane::test::writeFile(helper, QByteArray("#!/bin/sh\n") + c.script + "\n");
    QFile::setPermissions(helper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QElapsedTimer clock;
    clock.start();
    try {
        HelperProcess process(helper, {QStringLiteral("x")}, HelperLimits{1'500, 64, 1 << 20});
        const QByteArray output = process.readAll();
        EXPECT_FALSE(c.fault) << "no failure reported";
        EXPECT_EQ(output, c.output);
        EXPECT_EQ(process.exitCode(), c.exitCode);
    } catch (const HelperProcess::Failure& failure) {
        EXPECT_EQ(failure.fault, c.fault);
    }
    EXPECT_LT(clock.elapsed(), 8'000);
}

INSTANTIATE_TEST_SUITE_P(
    Helpers, HelperRun,
    ::testing::Values(
        HelperCase{"OutputWholeLimitsFirst",
                   "printf 'a\\000b|'; echo \"$@\"; exit 3",
                   {},
                   QByteArray("a\0b|", 4) + "--memory-limit-mb 64 --cpu-limit-s 2 x\n",
                   3},
        HelperCase{
            "LargeOutputUnderTheCap", "head -c 900000 /dev/zero", {}, QByteArray(900'000, '\0'), 0},
        HelperCase{"HangingTimesOut", "exec sleep 60", Fault::TimedOut, {}, 0},
        HelperCase{"EndlessOutputCapped", "exec yes", Fault::TooMuchOutput, {}, 0},
        HelperCase{"CrashReported", "printf part; kill -SEGV $$", Fault::StoppedAbnormally, {}, 0}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(HelperRun, ProgramThatCannotStartIsReported) {
    try {
        HelperProcess process(QStringLiteral("/nonexistent/helper"), {}, HelperLimits{});
        ADD_FAILURE() << "started";
    } catch (const HelperProcess::Failure& failure) {
        EXPECT_EQ(failure.fault, Fault::NotStarted);
        EXPECT_FALSE(failure.detail.isEmpty());
    }
}

} // namespace
