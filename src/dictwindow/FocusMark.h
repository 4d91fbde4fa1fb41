#pragma once
// A visible mark on a read-only text box while it has the keyboard focus. Such boxes show
// no caret by default, and the platform style draws them the same focused or not, so a
// keyboard user would not see that the focus is there. While focused, the box's frame
// becomes a plain line in the theme's highlight colour, as wide as the sunken frame it
// replaces, so the text inside does not move.

class QFrame;

namespace tolvane::dictwindow {

void markFocus(QFrame* box);

} // namespace tolvane::dictwindow
