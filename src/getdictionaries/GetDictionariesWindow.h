#pragma once
// frmGetDictionaries: a top-level, non-modal window. Its upper list shows the SWORD
// dictionary modules libsword finds on this computer and whether Tolvane has each; Add
// imports the chosen one as an added dictionary (tolvane-import --sword, in a child process,
// into the folder the program reads). Its lower list shows Tolvane's added dictionaries;
// Remove deletes the chosen one's file after a confirmation that names it, and nothing else.
// Whatever runs, the window answers: Cancel stops it, and the list or the dictionary folder
// is left as it was.

#include "getdictionaries/GetDictionariesLayout.h"

#include <QWidget>
#include <functional>

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

protected:
    // Escape cancels what runs, else closes the window.
    void keyPressEvent(QKeyEvent* event) override;

Q_SIGNALS:
    // An added dictionary came or went: the Dictionaries menu is to be read again.
    void dictionariesChanged();
    // The operation that was running has ended (its outcome is in lblStatus).
    void idle();

private:
    enum class Running { Nothing, Listing, Adding };
    void listTolvane();
    void listInstalled(const QByteArray& tsv);
    void markInTolvane();
    void runFinished(int exitCode);
    void begin(Running what, const QStringList& arguments, const QString& status);
    void setStatus(const QString& text);

    std::function<QString()> m_folder;
    std::function<void(const data::DictionaryConfig&)> m_closeDictionary;
    GetDictionariesControls m_c;
    ImportRun* m_run;
    Running m_running = Running::Nothing;
    QString m_adding; // the module being added
};

} // namespace tolvane::getdictionaries
