#include "platform/ScreenFit.h"

#include <QGuiApplication>
#include <QRegion>
#include <QScreen>

namespace tolvane::platform {

bool fitsScreens(const QRect& window, const QList<QRect>& screens, const QSize& smallest) {
    if (!window.isValid() || window.width() < smallest.width() ||
        window.height() < smallest.height())
        return false;
    // The union, not one screen: a window may straddle two monitors side by side, but not
    // the gap of an L-shaped arrangement.
    QRegion visible;
    for (const QRect& screen : screens)
        visible += screen;
    return QRegion(window).subtracted(visible).isEmpty();
}

QList<QRect> availableScreenAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

} // namespace tolvane::platform
