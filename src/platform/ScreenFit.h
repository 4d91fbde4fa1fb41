#pragma once
// Whether a remembered window place still suits the screens present now. Screens come and go
// between runs (a laptop leaves its second monitor behind, the resolution changes), and a
// settings file can be edited by hand, so a remembered place is used only when the whole
// window would be visible; otherwise the window takes its default place.

#include <QList>
#include <QRect>
#include <QSize>

namespace tolvane::platform {

// True when `window` (frame included, in screen coordinates) lies wholly within the union of
// the screens' available areas (`screens`: one rectangle per screen, task bars left out), and
// is at least `smallest` in size. An empty or invalid rectangle never fits.
bool fitsScreens(const QRect& window, const QList<QRect>& screens, const QSize& smallest);

// The available areas of the screens the window system reports now.
QList<QRect> availableScreenAreas();

} // namespace tolvane::platform
