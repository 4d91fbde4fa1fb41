// The search box claims typed characters from shortcuts without QLineEdit's comparisons: the
// same keys must reach the box, and the same shortcuts fire, as with a plain line edit.

#include "dictwindow/SearchBox.h"
#include "support/TestSupport.h"

#include <QLineEdit>
#include <QShortcut>
#include <QTest>
#include <gtest/gtest.h>

using namespace tolvane;

namespace {

struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};

// Types `keys` into `edit` in a window holding a shortcut for each of them; returns the
// shortcuts that fired and the text after each key.
std::pair<QStringList, QStringList> typeAmongShortcuts(QLineEdit* edit,
                                                       const std::vector<Key>& keys) {
    QWidget window;
    edit->setParent(&window);
    QStringList fired, texts;
    for (const Key& k : keys) {
        const QKeySequence sequence(k.modifiers | k.key);
        QObject::connect(new QShortcut(sequence, &window), &QShortcut::activated,
                         [&fired, sequence] { fired << sequence.toString(); });
    }
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    for (const Key& k : keys) {
        QTest::keyClick(edit, k.key, k.modifiers);
        texts << edit->text();
    }
    return {fired, texts};
}

TEST(SearchBoxKeys, TheSameKeysReachTheBoxAndTheSameShortcutsFireAsWithAPlainLineEdit) {
    const std::vector<Key> keys{
        {Qt::Key_B, Qt::NoModifier},      {Qt::Key_B, Qt::ShiftModifier},
        {Qt::Key_5, Qt::KeypadModifier},  {Qt::Key_Space, Qt::NoModifier},
        {Qt::Key_K, Qt::ControlModifier}, {Qt::Key_F5, Qt::NoModifier},
        {Qt::Key_Left, Qt::NoModifier},   {Qt::Key_Backspace, Qt::NoModifier},
        {Qt::Key_A, Qt::ControlModifier}, {Qt::Key_Delete, Qt::NoModifier},
        {Qt::Key_Escape, Qt::NoModifier}, {Qt::Key_Z, Qt::ControlModifier}};
    const auto plain = typeAmongShortcuts(new QLineEdit, keys);
    const auto box = typeAmongShortcuts(new dictwindow::SearchBox, keys);
    EXPECT_EQ(box, plain);
    EXPECT_EQ(plain.first, (QStringList{"Ctrl+K", "F5", "Esc"})); // the rest are the box's
}

} // namespace
