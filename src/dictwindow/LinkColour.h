#pragma once
// The colour links are drawn in: the palette's link colour, darkened or lightened as far as
// needed to read at 4.5:1 against the box's background (the yellow of the definition box
// whatever the desktop theme).

#include <QColor>

namespace tolvane::dictwindow {

double contrastRatio(const QColor& a, const QColor& b); // WCAG 2 contrast, 1..21
QColor readableLinkColour(const QColor& link, const QColor& background);

} // namespace tolvane::dictwindow
