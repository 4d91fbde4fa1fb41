#pragma once
// Roman numerals as older works print chapter numbers ("xxvii", "cxix", "XXV").

#include <QStringView>

namespace tolvane::references {

// The value of a well-formed roman numeral in one letter case (i v x l c, or I V X L C),
// 1..399; 0 for anything else ("iix", "vv", "Xv", "", "Pr").
int romanValue(QStringView text);

// A lower-case numeral whose first "l" was scanned as a capital "I" ("Ixvi" for "lxvi", 66, in
// the King James text): its value, when that is the only reading ("Iv" could be "iv" as well
// as "lv", and is 0); 0 for anything else.
int romanValueScannedAsCapitalI(QStringView text);

} // namespace tolvane::references
