#pragma once
// A dictionary window over a small database made for the test, in a temporary application
// folder, with the scripted message box and the recording program ender installed.

#include "data/DictionaryConfig.h"
#include "dictwindow/DictionaryWindow.h"
#include "support/DictionaryFiles.h"
#include "support/PlatformFakes.h"
#include "support/TestSupport.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <vector>

namespace tolvane::test {

// A small King James style table: mixed case, a duplicate headword, a quote, a digit, the
// proper-name marker and a value merely containing "=", missing values, and "Ent..." so that
// text typed after the prompt "Enter word here..." finds a prefix.
std::vector<DictRow> sampleRows();
// The headwords of the rows that begin with `prefix`, letter case ignored.
QStringList headwordsBeginningWith(const std::vector<DictRow>& rows, const QString& prefix);

// Headwords of the rows, sorted the way the list sorts them: ICU's root collation at secondary
// strength (letter case ignored, accents after their base letter), typographic apostrophes
// as straight ones, equal words in their given (row) order. Computed here with ICU's C++
// interface, apart from the engine's own code.
QStringList sortedHeadwords(const std::vector<DictRow>& rows);
QStringList listOrderSorted(QStringList words);

class WindowFixture : public ::testing::Test {
protected:
    WindowFixture();
    ~WindowFixture() override;

    // Creates the dictionary file and loads the window (controls + Form_Load), shown.
    void open(const data::DictionaryConfig& config, const std::vector<DictRow>& rows);
    // Loads the window over whatever file the application folder holds.
    void load(const data::DictionaryConfig& config);

    dictwindow::DictionaryWindow& win() { return *m_window; }
    const dictwindow::DictionaryControls& c() const { return m_window->controls(); }

    QStringList listItems() const;
    // Simulated user actions.
    void typeKeys(const QString& keys);
    void pressKey(Qt::Key key);
    void clickItem(int row);
    void clickHeadword(const QString& headword); // the first list item with this text
    // Handler runs as the platform runs them: a failure is reported, not thrown.
    void guarded(void (dictwindow::DictionaryWindow::*handler)());

    // The table as stored, read through a recordset of its own (rs is left alone).
    std::vector<DictRow> storedRows();
    int storedCount() { return int(storedRows().size()); }
    // The first stored row with exactly this headword.
    std::optional<DictRow> storedRow(const QString& headword);

    // Message box calls so far, as "title: text" lines.
    QStringList messageLog() const;
    int messageCount() const { return int(fakes.messages->calls.size()); }
    int listFills() const { return m_fills; }
    void resetCounters();

    PlatformFakes fakes;
    QTemporaryDir dir;
    std::unique_ptr<dictwindow::DictionaryWindow> m_window;
    std::unique_ptr<QWidget> m_form;
    int m_fills = 0;
};

} // namespace tolvane::test
