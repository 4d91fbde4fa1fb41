#pragma once
// Roman numerals as older works print chapter numbers ("xxvii", "cxix", "XXV").

#include <QStringView>

namespace tolvane::references {

// The value of a well-formed roman numeral in one letter case (i v x l c, or I V X L C),
// 1..399; 0 for anything else ("iix", "vv", "Xv", "", "Pr").
int romanValue(QStringView text);

} // namespace tolvane::references
