#include "shell/WindowPlacement.h"

#include <algorithm>

namespace tolvane::shell {

namespace {

// The start of a span of `length` moved into [low, high]; low when it is longer.
int into(int start, int length, int low, int high) {
    return std::max(low, std::min(start, high - length + 1));
}

} // namespace

QRect besideWindow(const QRect& other, const QSize& outer, const QRect& screen, int gap) {
    QRect r(QPoint(other.right() + 1 + gap, other.top()), outer);
    if (!screen.isValid())
        return r;
    const int roomRight = screen.right() - other.right() - gap;
    const int roomLeft = other.left() - screen.left() - gap;
    if (roomRight < outer.width()) {
        if (roomLeft >= outer.width() || roomLeft > roomRight)
            r.moveRight(other.left() - 1 - gap);
    }
    r.moveLeft(into(r.left(), r.width(), screen.left(), screen.right()));
    r.moveTop(into(r.top(), r.height(), screen.top(), screen.bottom()));
    return r;
}

} // namespace tolvane::shell
