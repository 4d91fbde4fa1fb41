#pragma once
// An added dictionary's title as a menu or a list shows it. A title is whatever its file
// records: it may be a megabyte long, or hold tabs and line breaks (a tab in a menu item's
// text starts its shortcut). Shown, it is one line cut to a width; the tooltip holds it whole,
// unless it is too long for any tooltip to show.

#include <QString>

class QFontMetrics;

namespace tolvane::moredictionaries {

// The title on one line (control characters as spaces), cut with "…" to `pixels` wide.
QString shownTitle(const QString& title, const QFontMetrics& metrics, int pixels);

// The title for a tooltip, wrapped to the screen: whole up to kTooltipCharacters, cut with
// "…" beyond. Empty when shownTitle already shows it whole.
inline constexpr int kTooltipCharacters = 2000;
QString titleTooltip(const QString& title, const QFontMetrics& metrics, int pixels);

} // namespace tolvane::moredictionaries
