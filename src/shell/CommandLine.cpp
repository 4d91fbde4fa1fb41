#include "shell/CommandLine.h"

#include "platform/DictionaryFolder.h"
#include "shell/StartUp.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>

namespace tolvane::shell {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;

// QApplication reads these itself; they are accepted here and left for it.
void acceptWindowSystemOptions(QCommandLineParser& parser) {
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin", "display",
                             "geometry", "qwindowgeometry", "qwindowicon", "qwindowtitle", "style",
                             "stylesheet", "session", "name", "title"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// Qt names an unknown option without its dashes ("Unknown option 'bogus'"); the user is
// shown the argument as typed ("--bogus", "-bogus", "--bogus=1").
QString unknownOptionText(const QCommandLineParser& parser, const QStringList& arguments) {
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty())
        return parser.errorText();
    const QString& name = unknown.constFirst();
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QLatin1String("--"))
            break;
        const QString typed = argument.section(QLatin1Char('='), 0, 0);
        if (typed == QLatin1String("--") + name || typed == QLatin1String("-") + name)
            return QStringLiteral("Unknown option '%1'.").arg(typed);
    }
    return QStringLiteral("Unknown option '--%1'.").arg(name);
}

} // namespace

CommandLine readCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    // Qt's own options are written with one dash (-platform offscreen).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Looks words up in the King James Dictionary of Archaic Words, Easton's "
                       "Bible Dictionary and Hitchcock's Bible Names.\n\n"
                       "The dictionary files (db2.mdb, data.mdb, names.mdb) are read from the "
                       "folder given with --dictionaries; else from the program's own folder "
                       "when it holds one of them; else from the user's folder "
                       "$XDG_DATA_HOME/tolvane (~/.local/share/tolvane), which receives a copy "
                       "of each shipped dictionary it lacks."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help and exit."));
    const QCommandLineOption versionOption(QStringLiteral("version"),
                                           QStringLiteral("Show the version and exit."));
    const QCommandLineOption dictionariesOption(
        QStringLiteral("dictionaries"),
        QStringLiteral("Read and write the dictionary files in DIR."), QStringLiteral("DIR"));
    const QCommandLineOption freshOption(
        QStringLiteral("fresh"),
        QStringLiteral("Start as on the very first start: forget the windows' places, the open "
                       "dictionary, the Find text, the history and the zoom."));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addOption(dictionariesOption);
    parser.addOption(freshOption);
    acceptWindowSystemOptions(parser);

    CommandLine result;
    const auto usageError = [&](const QString& message) {
        err << message << "\n\n" << parser.helpText();
        err.flush();
        result.exitCode = kExitUsage;
        return result;
    };
    if (!parser.parse(arguments))
        return usageError(unknownOptionText(parser, arguments));
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("Unexpected argument: %1")
                              .arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(dictionariesOption) && parser.value(dictionariesOption).isEmpty())
        return usageError(QStringLiteral("--dictionaries needs a folder."));
    result.dictionaries = parser.value(dictionariesOption);
    result.fresh = parser.isSet(freshOption);

    if (parser.isSet(helpOption)) {
        const platform::DictionaryFolder folder = platform::locateDictionaryFolder(
            platform::standardDictionaryFolderPlaces(result.dictionaries, dictionaryFileNames()));
        out << parser.helpText()
            << "\nDictionary folder in use: " << QDir::toNativeSeparators(folder.path) << "\n";
        out.flush();
        result.exitCode = kExitOk;
    } else if (parser.isSet(versionOption)) {
        out << "Tolvane " << TOLVANE_RELEASE << "\n";
        out.flush();
        result.exitCode = kExitOk;
    }
    return result;
}

CommandLine readProgramCommandLine(int argc, char** argv) {
    // QApplication needs a display; this short-lived core application does not.
    QCoreApplication early(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return readCommandLine(QCoreApplication::arguments(), out, err);
}

} // namespace tolvane::shell
