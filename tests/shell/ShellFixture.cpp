#include "ShellFixture.h"

#include "platform/AppFolder.h"
#include "shell/MainWindow.h"
#include "support/DictionaryFiles.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

namespace tolvane::test {

void writeDictionary(const QString& folder, const data::DictionaryConfig& config,
                     const QStringList& headwords) {
    std::vector<DictRow> rows;
    for (const QString& word : headwords)
        rows.push_back(
            {word, QStringLiteral("the meaning of ") + word, QStringLiteral("Gen. 1:1")});
    writeDictionaryFile(folder, config, rows);
}

ShellFixture::ShellFixture() {
    platform::setApplicationFolder(dir.path());
    forms = std::make_unique<shell::Forms>();
}

ShellFixture::~ShellFixture() {
    forms.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    platform::setApplicationFolder(QString());
}

QStringList ShellFixture::headwordsOf(const data::DictionaryConfig& config) {
    if (&config == &data::kingJamesConfig())
        return {QStringLiteral("ABASE"), QStringLiteral("abide"), QStringLiteral("BEWRAY"),
                QStringLiteral("Field1"), QStringLiteral("YONDER")};
    if (&config == &data::eastonsConfig())
        return {QStringLiteral("Aaron"), QStringLiteral("Abana"), QStringLiteral("Zion")};
    return {QStringLiteral("Abagtha"), QStringLiteral("Naomi"), QStringLiteral("Ruth"),
            QStringLiteral("Zuph")};
}

void ShellFixture::writeAllDictionaries() {
    for (const auto* config : data::allConfigs())
        writeDictionary(dir.path(), *config, headwordsOf(*config));
}

QString ShellFixture::path(const data::DictionaryConfig& config) const {
    return QDir(dir.path()).filePath(config.fileName);
}

void ShellFixture::startProgram() {
    forms->frmMain().Show();
    ASSERT_NE(mainWindow(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(mainWindow()));
}

QAction* ShellFixture::action(const QString& name) {
    return mainWindow() ? mainWindow()->findChild<QAction*>(name) : nullptr;
}

void ShellFixture::choose(const QString& itemName) {
    QAction* item = action(itemName);
    ASSERT_NE(item, nullptr) << "no menu item " << itemName.toStdString();
    QMenuBar* bar = mainWindow()->menuBar();
    if (bar->actions().contains(item)) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(item).center());
        return;
    }
    // The item's menu, and that menu's title on the menu bar.
    QMenu* menu = nullptr;
    for (QAction* title : bar->actions())
        if (title->menu() && title->menu()->actions().contains(item))
            menu = title->menu();
    ASSERT_NE(menu, nullptr);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }))
        << "menu did not open: " << menu->title().toStdString();
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    ASSERT_TRUE(QTest::qWaitFor([menu] { return !menu->isVisible(); }));
}

} // namespace tolvane::test
