#pragma once
// frmGetDictionaries: a top-level, non-modal window. Its upper list shows the SWORD
// dictionary modules libsword finds on this computer and whether Tolvane has each; Add
// imports the chosen one as an added dictionary (tolvane-import --sword, in a child process,
// into the folder the program reads). Its lower list shows Tolvane's added dictionaries;
// Remove deletes the chosen one's file after a confirmation that names it, and nothing else.
// Whatever runs, the window answers: Cancel stops it, and the list or the dictionary folder
// is left as it was.

#include "getdictionaries/GetDictionariesLayout.h"

#include <QList>
#include <QWidget>
#include <functional>

class QPushButton;

namespace tolvane::data {
struct DictionaryConfig;
}

namespace tolvane::getdictionaries {

class ImportRun;

class GetDictionariesWindow : public QWidget {
    Q_OBJECT
public:
    // `folder` gives the dictionary folder; `closeDictionary` is called before a dictionary's
    // file is deleted, so that no window still reads it.
    GetDictionariesWindow(std::function<QString()> folder,
                          std::function<void(const data::DictionaryConfig&)> closeDictionary,
                          QWidget* parent = nullptr);

    const GetDictionariesControls& controls() const { return m_c; }
    bool isBusy() const;

    // Handlers.
    void Form_Load();
    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdRefresh_Click();
    void cmdCancel_Click();
    // The repositories (GetDictionariesRepository.cpp).
    void cmdListAvailable_Click();
    void cmdInstall_Click();
    void cmdUninstall_Click();
    void cmdUseEastons_Click();
    void cmdUseHitchcock_Click();
    void cmdAddRepository_Click();
    void cmdRefreshRepositories_Click();

    // The caution libsword gives before any network use, asked once.
    static QString networkCaution();
    static constexpr char kNetworkSetting[] = "repositories/networkAllowed";

protected:
    // Escape cancels what runs, else closes the window.
    void keyPressEvent(QKeyEvent* event) override;

Q_SIGNALS:
    // An added dictionary came or went: the Dictionaries menu is to be read again.
    void dictionariesChanged();
    // The operation that was running has ended (its outcome is in lblStatus).
    void idle();

private:
    enum class Running {
        Nothing,
        Listing,
        Adding,
        Offering,
        Installing,
        Uninstalling,
        Replacing,
        Repositories
    };
    QString addedPath(const QString& module) const;
    void installedNotAdded(int exitCode);
    // Uninstall only for a module in ~/.sword (not one the system's packages installed).
    void updateUninstall();
    void listTolvane();
    void listUnusableFiles();
    void listInstalled(const QByteArray& tsv);
    void markInTolvane();
    void runFinished(int exitCode);
    void begin(Running what, const QStringList& arguments, const QString& status);
    void setStatus(const QString& text);
    // A download's bytes on the bar ("1.2 MB of 3.4 MB"); a busy bar while the total is not
    // known.
    void showProgress(qint64 done, qint64 total);
    QList<QPushButton*> actionButtons() const;
    bool networkAllowed();
    void listAvailable(const QByteArray& tsv);
    void markOffered(const QString& module, const QString& status);
    void useAs(const data::DictionaryConfig& part);
    // After "Use as": the module's added copy, if any, is offered for removal (Yes by
    // default), so that the same work is not listed, searched and stored twice.
    void offerToRemoveAddedCopy();
    // Closes the added dictionary's window, deletes its file and lists the rest; false, with
    // the status saying why, when the file stays.
    bool removeAdded(const data::DictionaryConfig* config, const QString& title,
                     const QString& path);
    void repositoryRunFinished(Running was);

    std::function<QString()> m_folder;
    std::function<void(const data::DictionaryConfig&)> m_closeDictionary;
    GetDictionariesControls m_c;
    ImportRun* m_run;
    Running m_running = Running::Nothing;
    QString m_adding;          // the module being added, installed or removed
    QString m_outcome;         // an install's or uninstall's, shown once the list is read again
    QString m_notAdded;        // installed in ~/.sword by this window, but adding it failed
    bool m_downloaded = false; // the running install has reached "adding"
    QString m_backup;          // the replaced file's backup, for "Use as"
    const data::DictionaryConfig* m_replaced = nullptr;
};

} // namespace tolvane::getdictionaries
