#pragma once
// The Get Dictionaries window's controls, made and laid out in one place. Every control has
// an object name and an accessible name; the tab order runs top to bottom.

#include <QString>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QWidget;

namespace tolvane::getdictionaries {

struct GetDictionariesControls {
    QTreeWidget* lstInstalled = nullptr; // SWORD modules on this machine
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdUninstall = nullptr; // from ~/.sword
    QPushButton* cmdUseEastons = nullptr;
    QPushButton* cmdUseHitchcock = nullptr;
    QTreeWidget* lstAvailable = nullptr; // offered by the repositories
    QPushButton* cmdListAvailable = nullptr;
    QPushButton* cmdInstall = nullptr;
    QLineEdit* txtRepositoryName = nullptr; // a repository to add, by name and address
    QLineEdit* txtRepositoryUrl = nullptr;
    QPushButton* cmdAddRepository = nullptr;
    QPushButton* cmdRefreshRepositories = nullptr; // libsword's master list
    QTreeWidget* lstTolvane = nullptr;             // Tolvane's added dictionaries
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdClose = nullptr;
    QProgressBar* barProgress = nullptr;
    QLabel* lblStatus = nullptr;
};

// Columns of lstInstalled and lstTolvane.
enum InstalledColumn {
    ModuleName,
    ModuleDescription,
    ModuleInTolvane,
    ModuleEntries,
    ModuleVersion,
    ModuleSize,
    ModuleLicence,
    ModulePlace // "~/.sword", or "installed by the system": only the first can be uninstalled
};
enum TolvaneColumn { DictionaryTitle, DictionarySource, DictionaryFile };
enum AvailableColumn {
    OfferedName,
    OfferedDescription,
    OfferedVersion,
    OfferedSize,
    OfferedLicence,
    OfferedStatus,
    OfferedRepository
};

GetDictionariesControls buildGetDictionariesLayout(QWidget* window);

// A size as the window writes it: "1.2 MB", "900 bytes".
QString sizeText(qint64 bytes);

} // namespace tolvane::getdictionaries
