#pragma once
// The formatting the reader tracks and the writer emits, in RTF's own units, and the one
// conversion between RTF's twips and the pixels of QTextBlockFormat margins.

#include <QtGlobal>
#include <algorithm>

namespace tolvane::richtext {

inline constexpr double kTwipsPerPixel = 15.0;
inline double twipsToPixels(int twips) { return twips / kTwipsPerPixel; }
inline int pixelsToTwips(double pixels) { return qRound(pixels * kTwipsPerPixel); }

// Bounds for numeric parameters, so that hostile values cannot overflow or make absurd layouts.
inline constexpr int kMaxHalfPoints = 3276;   // 1638 pt, the largest size rich-edit controls take
inline constexpr int kDefaultHalfPoints = 24; // RTF's default size, 12 pt
inline constexpr int kMaxIndentTwips = 31680; // 22 inches
inline int clampIndent(int twips) { return std::clamp(twips, -kMaxIndentTwips, kMaxIndentTwips); }

struct RtfCharProps {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int halfPoints = kDefaultHalfPoints;
    int font = -1;       // RTF font number; -1 is the document's default font (\deff)
    int foreground = 0;  // colour-table index; 0 is the automatic colour
    int background = 0;  // colour-table index; 0 is none
    bool operator==(const RtfCharProps&) const = default;
};

enum class RtfAlign : quint8 { Left, Center, Right, Justify };

struct RtfParaProps {
    RtfAlign align = RtfAlign::Left;
    int leftIndent = 0;  // twips
    int rightIndent = 0; // twips
    int firstIndent = 0; // twips, relative to the left indent
    int spaceBefore = 0; // twips
    int spaceAfter = 0;  // twips
    bool operator==(const RtfParaProps&) const = default;
};

} // namespace tolvane::richtext
