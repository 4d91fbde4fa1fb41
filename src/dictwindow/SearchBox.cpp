#include "dictwindow/SearchBox.h"

#include "dictwindow/CachedPanelStyle.h"

#include <QKeyEvent>

namespace tolvane::dictwindow {

namespace {

// One style for every search box, kept for the rest of the program: a widget uses its style
// until the very end of its destruction, so the style must outlive every box.
QStyle* searchBoxStyle() {
    static CachedPanelStyle* const style = new CachedPanelStyle(QStyle::PE_PanelLineEdit);
    return style;
}

} // namespace

SearchBox::SearchBox(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("txtSearch"));
    // The box is repainted for every key typed; its frame is drawn once and kept.
    setStyle(searchBoxStyle());
}

// A character typed, plain or shifted, is the box's own and never a shortcut: QLineEdit
// claims it, but only after comparing it with each of its twenty standard key sequences, on
// every key typed. The claim is made here at once for those keys, with QLineEdit's own rule
// (a writable box, no modifier but Shift or Keypad, a key below Escape); whatever the
// comparisons found for them, QLineEdit would claim the key too. Every other key is left to
// QLineEdit.
bool SearchBox::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && !isReadOnly()) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers();
        if ((mods == Qt::NoModifier || mods == Qt::ShiftModifier || mods == Qt::KeypadModifier) &&
            key->key() < Qt::Key_Escape) {
            key->accept();
            return QWidget::event(event); // what QLineEdit::event does after its claim
        }
    }
    return QLineEdit::event(event);
}

void SearchBox::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mods == Qt::NoModifier) {
            event->accept();
            Q_EMIT listKey(event->key());
            return;
        }
        break;
    default:
        break;
    }
    // Alt with a letter belongs to the menus and shortcuts (AltGr, which types letters on
    // many keyboards, does not report Alt).
    if (mods.testFlag(Qt::AltModifier) && !mods.testFlag(Qt::ControlModifier) &&
        !event->text().isEmpty() && event->text().at(0).isPrint()) {
        event->ignore();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace tolvane::dictwindow
