#pragma once
// The verse mode of the SWORD helper (tolvane-swordread --verses): a long-lived process that
// serves verses of the installed Bibles, one request a line on its standard input, one answer
// of several lines on its standard output. Lines are UTF-8, fields separated by tabs; no field
// holds a tab or a line break (the helper writes them as spaces).
//
// Every request begins with its tag, a number the program counts up, and the answer's last
// line ("Z") ends with the same tag: the program takes an answer only for the request it sent
// last and passes over any other. A request line longer than kLongestRequest bytes is refused
// whole, with one answer ("X damaged"; its tag when the line begins with one), and the
// helper reads on from the next line.
//
// Requests:
//   <tag> B                             the installed Bibles
//   <tag> V <module> <book> <c> <v> <ec> <ev> <most>
//                                       verses of <book> (an OSIS name, "Gen") from <c>:<v>
//                                       to <ec>:<ev>; <v> 0 is the whole chapter <c> to
//                                       <ec>; <module> empty (or not installed): KJV, else
//                                       the first Bible; one that lacks the book gives way
//                                       to the next Bible with it; at most <most> verses
//                                       are sent
// Answer lines, the last always "Z":
//   B <name> <abbreviation> <description>    one a Bible
//   M <name> <abbreviation> <lacking>        the Bible the verses come from; <lacking>: the
//                                            abbreviation of the one asked for, when it
//                                            lacks the book (else empty)
//   T <chapter> <verse> <text>               one a verse
//   X <kind> <message>                       kind: none (no Bible installed), book (the
//                                            Bible(s) lack the book or the verse), damaged
//   Z <count> <tag>                          verses in the whole range (0 for B and X)

#include <cstddef>

namespace tolvane::references::verseprotocol {

inline constexpr const char* kNoBible = "none";
inline constexpr const char* kNoBook = "book";
inline constexpr const char* kDamaged = "damaged";

// Far beyond any request the program makes (a few dozen bytes).
inline constexpr std::size_t kLongestRequest = 4096;

} // namespace tolvane::references::verseprotocol
