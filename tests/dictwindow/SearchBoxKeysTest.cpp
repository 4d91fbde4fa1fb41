// The search box claims typed characters from shortcuts by itself: the same keys must reach
// it, and the same shortcuts fire, as with a plain line edit.

#include "dictwindow/SearchBox.h"
#include "support/TestSupport.h"

#include <QShortcut>
#include <QTest>

namespace {

// Types each key into `edit` in a window with a shortcut for every key; returns the
// shortcuts that fired and the text after each key.
QStringList typeAmongShortcuts(QLineEdit* edit, const std::vector<QKeyCombination>& keys) {
    QWidget window;
    edit->setParent(&window);
    QStringList log;
    for (const QKeyCombination key : keys)
        QObject::connect(new QShortcut(key, &window), &QShortcut::activated,
                         [&log, key] { log << QKeySequence(key).toString(); });
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    for (const QKeyCombination key : keys) {
        QTest::keyClick(edit, key.key(), key.keyboardModifiers());
        log << edit->text();
    }
    return log;
}

TEST(SearchBoxKeys, TheSameKeysReachTheBoxAndTheSameShortcutsFireAsWithAPlainLineEdit) {
    const std::vector<QKeyCombination> keys{
        Qt::Key_B,         Qt::SHIFT | Qt::Key_B, Qt::KeypadModifier | Qt::Key_5,
        Qt::Key_Space,     Qt::CTRL | Qt::Key_K,  Qt::Key_F5,
        Qt::Key_Backspace, Qt::CTRL | Qt::Key_A,  Qt::Key_Escape};
    const QStringList plain = typeAmongShortcuts(new QLineEdit, keys);
    EXPECT_EQ(typeAmongShortcuts(new tolvane::dictwindow::SearchBox, keys), plain);
    EXPECT_TRUE(plain.contains("Ctrl+K") && plain.contains("F5"));
    EXPECT_FALSE(plain.contains("B") || plain.contains("Shift+B")); // typed, not shortcuts
}

} // namespace
