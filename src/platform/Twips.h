#pragma once
// Window measures are kept in twips (1/1440 inch) as the layouts are designed in them; the
// screen works in logical pixels. At the classic 96 dots per inch that is 15 twips to a
// pixel. This is the one place that converts; high-DPI scaling happens below us, in Qt.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tolvane::platform {

inline constexpr int kTwipsPerPixel = 15;

// Rounds to the nearest pixel (4600 twips -> 307), so sizes never come out short.
constexpr int twipsToPixels(int twips) {
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}
constexpr int pixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

inline QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}
inline QSize twipsSize(int width, int height) {
    return {twipsToPixels(width), twipsToPixels(height)};
}
inline QPoint twipsPoint(int left, int top) { return {twipsToPixels(left), twipsToPixels(top)}; }

// A widget's geometry expressed in twips, for comparing with the design tables.
inline QRect pixelsToTwips(const QRect& r) {
    return {pixelsToTwips(r.x()), pixelsToTwips(r.y()), pixelsToTwips(r.width()),
            pixelsToTwips(r.height())};
}

} // namespace tolvane::platform
