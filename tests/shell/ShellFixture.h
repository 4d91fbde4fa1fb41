#pragma once
// A fresh program for each test: its own window instances (Forms), a temporary application
// folder holding small dictionary files, and the recording platform seams. Menus are driven
// with the mouse, as a user would.

#include "data/DictionaryConfig.h"
#include "shell/Forms.h"
#include "support/PlatformFakes.h"
#include "support/TestSupport.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class QAction;
class QMenu;

namespace tolvane::shell {
class MainWindow;
class AboutDialog;
}

namespace tolvane::test {

// Writes the configuration's file into `folder` with one row per headword.
void writeDictionary(const QString& folder, const data::DictionaryConfig& config,
                     const QStringList& headwords);

class ShellFixture : public ::testing::Test {
protected:
    ShellFixture();
    ~ShellFixture() override;

    // The three dictionaries, each with headwords of its own.
    void writeAllDictionaries();
    static QStringList headwordsOf(const data::DictionaryConfig& config);

    // Starts the program: loads and shows frmMain.
    void startProgram();
    shell::MainWindow* mainWindow() { return forms->mainWindow(); }
    shell::AboutDialog* aboutDialog() { return forms->aboutDialog(); }

    QAction* action(const QString& name);
    // Chooses a menu item with the mouse: opens its menu on the menu bar, clicks the item.
    // A command that sits on the menu bar itself (About) is clicked there.
    void choose(const QString& itemName);

    QString path(const data::DictionaryConfig& config) const;

    PlatformFakes fakes;
    QTemporaryDir dir;
    std::unique_ptr<shell::Forms> forms;
};

} // namespace tolvane::test
