#pragma once
// The RTF control words the reader acts on. Everything else is ignored, and a group that
// starts with an unknown starred destination (\*) is skipped whole.

#include <string_view>

namespace tolvane::richtext {

enum class RtfWord {
    Unknown,
    // document header
    Rtf, Ansi, Mac, Pc, Pca, AnsiCpg, Deff, Uc, U, Upr, Ud, Bin,
    // tables of the header
    FontTable, ColorTable, F, FCharset, Cpg, Red, Green, Blue,
    // breaks and special characters
    Par, Line, Tab, Cell, NestCell, Row, NestRow, Sect, Page,
    EmDash, EnDash, EmSpace, EnSpace, QmSpace, Bullet, LQuote, RQuote, LDblQuote, RDblQuote,
    // character formatting
    Plain, B, I, Ul, UlNone, Strike, Fs, Cf, Cb, Highlight, Hidden,
    // paragraph formatting
    Pard, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa,
    // kept although starred: holds \nestrow
    NestTableProps,
    // a destination whose text is never body text (pictures, notes, page furniture, ...)
    SkippedDestination,
};

RtfWord lookupRtfWord(std::string_view word);

} // namespace tolvane::richtext
