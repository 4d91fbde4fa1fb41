#pragma once
// The dictionary windows' own message texts and titles, identical in all three windows.

#include <QString>

namespace tolvane::dictwindow::texts {

inline QString noRecordsFound() { return QStringLiteral("No Records Found"); }
inline QString errorTitle() { return QStringLiteral("Error"); }
inline QString allFieldsMustContainData() { return QStringLiteral("All Fields Must Contain Data"); }
inline QString confirmDelete() { return QStringLiteral("Are You Sure You Want To Delete This Record"); }
inline QString deleteTitle() { return QStringLiteral("Delete Record"); }
inline QString properName() { return QStringLiteral("Proper Name"); }
inline QString properNameMarker() { return QStringLiteral("="); }
inline QString getNewWordSeed() { return QStringLiteral("a"); }

} // namespace tolvane::dictwindow::texts
