#pragma once
// frmFind: the Find window, a top-level window beside the main window. The user types words
// in txtFind, chooses between optThisDictionary ("This dictionary", the one open in the main
// window) and optAllDictionaries ("All dictionaries"), and sees the count in lblCount and the
// entries in lstResults. Results follow the typing: a search starts once the text has rested
// for kDebounceMs, on the service's own thread; a newer search cancels an older one.
// Opening a result (double-click or Enter) hands it to whoever listens to resultOpened.

#include "find/FindService.h"

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QProgressBar;
class QRadioButton;
class QTimer;

namespace tolvane::find {

class FindResultList;

class FindWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDebounceMs = 150;
    using CurrentDictionary = std::function<const data::DictionaryConfig*()>;

    // `folder` gives the folder the dictionary files are in, asked at each search.
    FindWindow(FindService& service, CurrentDictionary currentDictionary,
               std::function<QString()> folder, QWidget* parent = nullptr);

    // Ctrl+F on a window already open: the keyboard in the text box with all of it selected,
    // so that what is typed next replaces it.
    void focusFindText();
    QLineEdit* txtFind() const { return m_txtFind; }
    QRadioButton* optThisDictionary() const { return m_optThis; }
    QRadioButton* optAllDictionaries() const { return m_optAll; }
    QLabel* lblCount() const { return m_lblCount; }
    // The share of a dictionary's preparation for searching done, while it runs.
    QProgressBar* prgPreparing() const { return m_prgPreparing; }
    FindResultList* lstResults() const { return m_lstResults; }

    // True from a change of the text or the choice until its results (or a note) are shown.
    bool isSearching() const { return m_waiting; }

    // A short note in the count line (a followed word that no headword begins with).
    void showNote(const QString& note);
    // Another dictionary is open now: "This dictionary" searches again, in it.
    void currentDictionaryChanged();
    // Dictionaries were added or removed: a removed one's results leave the list at once, and
    // the words are sought again among the dictionaries there are now.
    void dictionariesChanged();
    // The query (FTS5) whose results the list shows; empty when it shows none.
    const QString& shownMatch() const { return m_shownMatch; }

    // Handlers.
    void txtFind_Change();
    void optScope_Click();
    void lstResults_Open(int row);

Q_SIGNALS:
    void resultOpened(const tolvane::find::FoundEntry& entry);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void startSearch();
    void showResults(const FindResults& results);
    void showPreparing(quint64 search, const QString& title, int percent);
    void clearResults(const QString& note);

    FindService& m_service;
    CurrentDictionary m_currentDictionary;
    std::function<QString()> m_folder;
    QLineEdit* m_txtFind;
    QRadioButton* m_optThis;
    QRadioButton* m_optAll;
    QLabel* m_lblCount;
    QProgressBar* m_prgPreparing;
    FindResultList* m_lstResults;
    QTimer* m_debounce;
    quint64 m_search = 0; // the search whose results the window waits for
    QString m_match;      // its query
    QString m_shownMatch;
    const data::DictionaryConfig* m_searchedIn = nullptr; // "This dictionary" when searched
    bool m_waiting = false;
};

} // namespace tolvane::find
