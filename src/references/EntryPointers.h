#pragma once
// Pointers from one entry to another: "(See MOSES.)", "(See TYROPOEON VALLEY.)",
// "(See HAGAR; ISHMAEL.)", "See LOAN.", and "Tyropoeon Valley (q.v.)" (the words before it).
// A pointer counts only when the dictionary has that headword, letter case ignored, as the
// word list matches; the caller says which headwords exist.

#include <QString>
#include <QStringView>
#include <functional>
#include <vector>

namespace tolvane::references {

struct EntryPointer {
    qsizetype start = 0; // the name's span in the text, in QString units
    qsizetype length = 0;
    QString headword; // as the dictionary holds it
    friend bool operator==(const EntryPointer&, const EntryPointer&) = default;
};

// Given a name, the headword it names as stored, or an empty string when there is none.
using HeadwordLookup = std::function<QString(const QString& name)>;

// In order of position; spans never overlap or repeat.
std::vector<EntryPointer> findEntryPointers(QStringView text, const HeadwordLookup& lookup);

} // namespace tolvane::references
