// A dictionary file replaced under its name while its window is open, and added dictionaries
// coming and going in the folder (ReplacedFiles.h notices them).

#include "data/AddedDictionaries.h"
#include "dictwindow/DictionaryWindow.h"
#include "platform/AppFolder.h"
#include "platform/ErrorGuard.h"
#include "shell/DictionaryView.h"
#include "shell/Forms.h"
#include "shell/MainWindow.h"
#include "shell/ReplacedFiles.h"

#include <QApplication>

namespace tolvane::shell {

bool Forms::reopenIfReplaced(const data::DictionaryConfig& config) {
    MainWindow* main = mainWindow();
    if (!main || !dictionaryForm(config).isLoaded() ||
        dictionaryWindow(config).mode() != dictwindow::DictionaryWindow::Mode::Browse ||
        !m_replacedFiles->isReplaced(config, platform::applicationFolder()))
        return false;
    const DictionaryView view = viewOf(*this, config);
    // The window goes and comes back through its menu command, exactly as when the user
    // chooses it: the new file opens, or its fault is said as for any other opening.
    dictionaryForm(config).Unload();
    main->runDictionaryCommand(config);
    restoreView(*this, config, view);
    return true;
}

// Not from inside a message box or an open menu: a handler may be waiting on it, with the
// window it would take away. The look is then made again a little later.
void Forms::checkFolder() {
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        m_replacedFiles->checkSoon();
        return;
    }
    platform::runGuarded([this] {
        MainWindow* main = mainWindow();
        if (!main)
            return;
        if (m_replacedFiles->addedFilesChanged(platform::applicationFolder()))
            main->refreshDictionaryMenu();
        if (const data::DictionaryConfig* open = openDictionary())
            reopenIfReplaced(*open);
    });
}

} // namespace tolvane::shell
