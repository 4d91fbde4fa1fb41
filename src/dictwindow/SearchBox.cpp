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
