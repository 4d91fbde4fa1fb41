#include "dictwindow/LinkColour.h"

#include <algorithm>
#include <cmath>

namespace tolvane::dictwindow {

namespace {

double luminance(const QColor& c) {
    auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

constexpr double kReadable = 4.5;

} // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableLinkColour(const QColor& link, const QColor& background) {
    // Toward black on a light background, toward white on a dark one, keeping the hue.
    const bool darken = luminance(background) > 0.18;
    QColor colour = link;
    for (int step = 0; step < 40 && contrastRatio(colour, background) < kReadable; ++step)
        colour = darken ? colour.darker(115) : colour.lighter(115);
    if (contrastRatio(colour, background) < kReadable)
        colour = darken ? QColor(Qt::black) : QColor(Qt::white);
    return colour;
}

} // namespace tolvane::dictwindow
