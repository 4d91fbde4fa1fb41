#pragma once
// Writes a QTextDocument as one RTF document in the style of a Windows rich-edit control:
// {\rtf1\ansi\ansicpg1252\deff0\deflang1033{\fonttbl...}...\viewkind4\uc1\pard ... \par }.
// Font and colour tables hold what the content uses. Bold, italic, underline, strike-out,
// size, font, colour, highlight, alignment, indents and paragraph spacing are written.

#include <QString>

class QTextDocument;

namespace tolvane::richtext {

// Always a complete document: an empty one is the header and one empty paragraph.
QString writeRtf(const QTextDocument& document);

} // namespace tolvane::richtext
