// Tolvane starts by showing its main window; nothing else runs before it.
#include "engine/legacy/JetDatabase.h"
#include "platform/ErrorGuard.h"
#include "shell/Forms.h"
#include "shell/Images.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tolvane"));
    QApplication::setApplicationVersion(QStringLiteral(TOLVANE_VERSION));
    QApplication::setOrganizationName(QStringLiteral("Kestrane"));
    QApplication::setWindowIcon(tolvane::shell::programIcon());

    // Dictionaries left by the original Windows program are Jet files; they open read-only.
    tolvane::engine::legacy::enableLegacyJetFiles();

    tolvane::shell::Forms forms;
    tolvane::platform::runGuarded([&forms] { forms.frmMain().Show(); });
    if (!forms.frmMain().isLoaded())
        return 1; // the failure has been reported; there is no window to wait for
    // The program ends when its last window has closed (the About dialog may outlive the
    // main window).
    return QApplication::exec();
}
