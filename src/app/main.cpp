// Tolvane reads its command line, chooses its dictionary folder and shows its main window.
#include "engine/FullTextFunctions.h"
#include "engine/legacy/JetDatabase.h"
#include "platform/ErrorGuard.h"
#include "platform/UserSettings.h"
#include "richtext/PlainText.h"
#include "shell/ApplicationSetup.h"
#include "shell/CommandLine.h"
#include "shell/Forms.h"
#include "shell/SessionKeeper.h"
#include "shell/StartUp.h"

#include <QApplication>

int main(int argc, char** argv) {
    const tolvane::shell::CommandLine commandLine =
        tolvane::shell::readProgramCommandLine(argc, argv);
    if (commandLine.exitCode)
        return *commandLine.exitCode; // --help, --version or a wrong command line
    QApplication app(argc, argv);
    tolvane::shell::setUpApplication();
    QGuiApplication::setDesktopFileName(QStringLiteral("example.kestrane.Tolvane"));
    tolvane::shell::useDictionaryFolder(commandLine.dictionaries);

    // Dictionaries left by the original Windows program are Jet files; they open read-only.
    tolvane::engine::legacy::enableLegacyJetFiles();
    // The full-text index holds the words the scripture box shows, not its markup.
    tolvane::engine::setRichTextFlattener(&tolvane::richtext::plainTextOfValue);

    // What the last run had on screen is taken up again, unless --fresh says forget it.
    tolvane::platform::UserSettings settings;
    if (commandLine.fresh) {
        settings.clear();
        settings.flush();
    }
    tolvane::shell::Forms forms;
    tolvane::shell::SessionKeeper session(forms, settings);
    tolvane::platform::runGuarded([&session] { session.start(); });
    if (!forms.frmMain().isLoaded())
        return 1; // the failure has been reported; there is no window to wait for
    // The program ends when its last window has closed (the About dialog may outlive the
    // main window).
    return QApplication::exec();
}
