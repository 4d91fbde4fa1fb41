#pragma once
// The verse mode of the SWORD helper (tolvane-swordread --verses): a long-lived process that
// serves verses of the installed Bibles, one request a line on its standard input, one answer
// of several lines on its standard output. Lines are UTF-8, fields separated by tabs; no field
// holds a tab or a line break (the helper writes them as spaces).
//
// Requests:
//   B                                   the installed Bibles
//   V <module> <book> <c> <v> <ec> <ev> <most>
//                                       verses of <book> (an OSIS name, "Gen") from <c>:<v>
//                                       to <ec>:<ev>; <v> 0 is the whole chapter <c> to
//                                       <ec>; <module> empty: KJV, else the first Bible with
//                                       the book; at most <most> verses are sent
// Answer lines, the last always "Z":
//   B <name> <abbreviation> <description>    one a Bible
//   M <name> <abbreviation>                  the Bible the verses come from
//   T <chapter> <verse> <text>               one a verse
//   X <kind> <message>                       kind: none (no Bible installed), book (the
//                                            Bible(s) lack the book or the verse), damaged
//   Z <count>                                verses in the whole range (0 for B and X)

namespace tolvane::references::verseprotocol {

inline constexpr const char* kNoBible = "none";
inline constexpr const char* kNoBook = "book";
inline constexpr const char* kDamaged = "damaged";

} // namespace tolvane::references::verseprotocol
