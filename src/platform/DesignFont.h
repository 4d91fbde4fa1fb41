#pragma once
// The windows are laid out in twips around "MS Sans Serif", the classic Windows dialog font.
// That font is not found on this platform; its place is taken by a font with nearly the same
// widths (Liberation Sans, Arimo or Arial), so that every caption still fits the fixed size
// of its control. Falls back to the condensed DejaVu face, which is narrower than the plain
// one, when none of them is installed.

#include <QFont>

namespace tolvane::platform {

inline const char* const kDesignFontFamily = "MS Sans Serif";
inline constexpr double kDesignFontPointSize = 8.25;

// The font with the substitutions installed (idempotent).
QFont designFont(double pointSize = kDesignFontPointSize, QFont::Weight weight = QFont::Normal);

} // namespace tolvane::platform
