#pragma once
// The zoom of the entry boxes (the definition box and the scripture box, always together),
// in percent of their designed size. The user's choice is kept for the next start in the
// user's settings; it is the program's only remembered setting.

namespace tolvane::dictwindow::entryzoom {

inline constexpr int kDesigned = 100;
inline constexpr int kSmallest = 50;
inline constexpr int kLargest = 300;
inline constexpr int kStep = 10;

// The stored zoom (kDesigned when none is stored or it is out of range).
int stored();
void store(int percent);

// One step larger (steps > 0) or smaller, within the limits.
int stepped(int percent, int steps);

} // namespace tolvane::dictwindow::entryzoom
