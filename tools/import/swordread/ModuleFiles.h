#pragma once
// What a dictionary module's own files allow, checked before libsword reads them. libsword
// takes the number of entries from the length of the key index (.idx), so an index cut short
// reads as a smaller, sound module. The index must be a whole number of records, each
// pointing inside the data file (.dat), and together reaching to its end (where the last
// entry is followed only by a line end); the block index of a compressed module (.zdx) must
// do the same for its blocks (.zdt).

#include <string>

namespace tolvane::swordread {

// `driver` is the module's ModDrv (RawLD, RawLD4, zLD; others are not checked), `dataPath`
// the files' path without their suffix (its library folder and DataPath). Returns what is wrong,
// naming the file, or empty when the files are sound.
std::string checkDictionaryFiles(const std::string& driver, const std::string& dataPath);

} // namespace tolvane::swordread
