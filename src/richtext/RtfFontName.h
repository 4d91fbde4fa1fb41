#pragma once
// Font names as both the reader and the writer see them: printable, trimmed, valid UTF-16.
// Using one rule on both sides keeps writing a fixed point for any name a document holds.

#include <QString>

namespace tolvane::richtext {

QString cleanFontName(const QString& name);

} // namespace tolvane::richtext
