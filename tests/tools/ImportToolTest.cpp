// The tolvane-import program: exit status, messages naming the file and line, the dictionary
// chosen by option or by the output's name, and progress on a terminal.
#include "ImportTestSupport.h"
#include "support/TestSupport.h"

#include "import/ImportTool.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace tolvane;

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun runProgram(const QStringList& arguments) {
    QProcess process;
    process.start(test::binDir() + QStringLiteral("/tolvane-import"), arguments);
    if (!process.waitForFinished(60000)) {
        ADD_FAILURE() << "tolvane-import did not finish: " << process.errorString().toStdString();
        return {};
    }
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

ToolRun runInProcess(const QStringList& arguments, const import::ToolOptions& options = {}) {
    ToolRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.exitCode =
        import::runImportTool(QStringList{"tolvane-import"} + arguments, out, err, options);
    return run;
}

class ImportTool : public test::ImportFolderTest {};

} // namespace

TEST_F(ImportTool, BuildsTheDictionaryTheOptionNames) {
    const QString input = csv("k.csv", "field1,field2,field3\r\nANON,At once.,Matt. 13:20\r\n");
    for (const QString& name : {QStringLiteral("kjv"), QStringLiteral("DB2.MDB")}) {
        SCOPED_TRACE(name.toStdString());
        const QString output = path("out-" + name + ".bin");
        const ToolRun run = runProgram({"--dictionary", name, input, output});
        EXPECT_EQ(run.exitCode, import::ExitOk) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains("1 rows into table data1")) << run.out.toStdString();
        EXPECT_EQ(test::storedRows(output, "data1", {"field1"}),
                  (std::vector<test::Row>{{"ANON"}}));
    }
}

TEST_F(ImportTool, ChoosesTheDictionaryByTheOutputFileName) {
    const QString input = csv("e.csv", "dbword,dbdesc\r\nAbba,Father.\r\n");
    const ToolRun run = runProgram({"-q", input, path("data.mdb")});
    EXPECT_EQ(run.exitCode, import::ExitOk) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty()); // quiet
    EXPECT_EQ(test::storedRows(path("data.mdb"), "dbwords", {"dbdesc"}),
              (std::vector<test::Row>{{"Father."}}));
}

TEST_F(ImportTool, RefusesBadInputWithFileAndLineAndWritesNothing) {
    const QString input = csv("bad.csv", "field1,field2\r\nAbel,breath\r\nAdam\r\n");
    const ToolRun run = runProgram({input, path("names.mdb")});
    EXPECT_EQ(run.exitCode, import::ExitFailed);
    EXPECT_TRUE(run.err.contains(input + ":3: 1 fields where the header names 2"))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("unchanged"));
    EXPECT_FALSE(QFileInfo::exists(path("names.mdb")));
    EXPECT_EQ(test::folderEntries(dir.path()), QStringList{"bad.csv"});
}

TEST_F(ImportTool, ExplainsAWrongCommandLine) {
    const QString input = csv("h.csv", "field1,field2\r\nAbel,breath\r\n");
    struct Case {
        QStringList arguments;
        const char* says;
    };
    const std::vector<Case> cases{
        {{}, "expected INPUT and OUTPUT"},
        {{input}, "INPUT and OUTPUT"},
        {{"--dictionary", "websters", input, path("x.mdb")}, "unknown dictionary 'websters'"},
        {{input, path("words.db")}, "cannot tell the dictionary from the name 'words.db'"},
        {{"--colour", input, path("names.mdb")}, "colour"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ToolRun run = runInProcess(c.arguments);
        EXPECT_EQ(run.exitCode, import::ExitUsage);
        EXPECT_TRUE(run.err.contains(c.says)) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("usage: tolvane-import"));
    }
    EXPECT_EQ(test::folderEntries(dir.path()), QStringList{"h.csv"});

    const ToolRun help = runInProcess({"--help"});
    EXPECT_EQ(help.exitCode, import::ExitOk);
    EXPECT_TRUE(help.out.contains("--dictionary"));
    EXPECT_TRUE(help.out.contains("names.mdb"));

    const ToolRun version = runProgram({"--version"});
    EXPECT_EQ(version.exitCode, import::ExitOk);
    EXPECT_TRUE(
        QRegularExpression("^tolvane-import \\d+\\.\\d+\\.\\d+\n$").match(version.out).hasMatch())
        << version.out.toStdString();
}

TEST_F(ImportTool, WithoutOutputWritesIntoTheDictionaryFolderOrNamesWhyNot) {
    const QString input = csv("h.csv", "field1,field2\r\nAbel,breath\r\n");
    const auto runWithDataHome = [&](const QString& dataHome) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        process.setProcessEnvironment(env);
        process.start(test::binDir() + QStringLiteral("/tolvane-import"),
                      {"--dictionary", "hitchcock", input});
        EXPECT_TRUE(process.waitForFinished(60000));
        return ToolRun{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                       QString::fromUtf8(process.readAllStandardError())};
    };

    const ToolRun done = runWithDataHome(path("home"));
    EXPECT_EQ(done.exitCode, import::ExitOk) << done.err.toStdString();
    EXPECT_EQ(test::storedRows(path("home/tolvane/names.mdb"), "hitchcock", {"field1"}),
              (std::vector<test::Row>{{"Abel"}}));

    // A file where the folder's parent should be: refused, naming the folder.
    const ToolRun refused = runWithDataHome(input);
    EXPECT_EQ(refused.exitCode, import::ExitFailed);
    EXPECT_TRUE(refused.err.contains(input + "/tolvane")) << refused.err.toStdString();
}

TEST_F(ImportTool, ShowsProgressOnATerminalOnly) {
    QByteArray text = "field1,field2\r\n";
    for (int i = 0; i < 2500; ++i)
        text += "name" + QByteArray::number(i) + ",meaning\r\n";
    const QString input = csv("long.csv", text);

    import::ToolOptions terminal;
    terminal.errIsTerminal = true;
    const ToolRun shown = runInProcess({input, path("names.mdb")}, terminal);
    EXPECT_EQ(shown.exitCode, import::ExitOk);
    EXPECT_TRUE(shown.err.contains("\rtolvane-import: 1000 rows ("));
    EXPECT_TRUE(shown.err.contains("\rtolvane-import: 2500 rows (100%)\n"));

    const ToolRun piped = runInProcess({input, path("names.mdb")});
    EXPECT_EQ(piped.exitCode, import::ExitOk);
    EXPECT_TRUE(piped.err.isEmpty());
    EXPECT_TRUE(piped.out.contains("2500 rows"));
}
