#pragma once
// Where a window that opens beside another goes. Every rectangle is an outer one, the window
// manager's frame included, so that "on the screen" means the whole window is.

#include <QRect>
#include <QSize>

namespace tolvane::shell {

// Beside `other` (right of it, else left of it, `gap` pixels away) where the screen has room
// for `outer`; else as close to that as the screen allows, overlapping `other`. The result
// lies wholly inside `screen` whenever `outer` fits it, and starts at the screen's top-left
// corner in the directions it does not fit.
QRect besideWindow(const QRect& other, const QSize& outer, const QRect& screen, int gap);

} // namespace tolvane::shell
