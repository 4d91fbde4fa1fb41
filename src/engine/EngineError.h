#pragma once
// Engine failures: a number in the familiar style and a message naming the file, table,
// column or query at fault.

#include "platform/Error.h"

namespace tolvane::engine {

namespace err {
constexpr int NoCurrentRecord = 3021;    // "No current record."
constexpr int FileNotFound = 3024;       // "Could not find file '...'."
constexpr int ReadOnly = 3027;           // "Cannot update. Database or object is read-only."
constexpr int UpdateWithoutEdit = 3020;  // "Update or CancelUpdate without AddNew or Edit."
constexpr int FileInUse = 3051;          // file in use or read-only
constexpr int SyntaxError = 3075;        // syntax error in query expression
constexpr int TableNotFound = 3078;      // table or query not found
constexpr int RecordDeleted = 3167;      // "Record is deleted."
constexpr int ItemNotFound = 3265;       // "Item not found in this collection."
constexpr int UnrecognizedFormat = 3343; // "Unrecognized database format '...'."
constexpr int ObjectClosed = 3420;       // "Object invalid or no longer set."
constexpr int InvalidArgument = 3001;    // "Invalid argument."
constexpr int InvalidOperation = 3219;   // "Invalid operation."
constexpr int SubscriptOutOfRange = 9;
constexpr int DiskIo = 3043;   // disk or I/O error
constexpr int DiskFull = 3026; // "Not enough space on disk."
} // namespace err

class EngineError : public NumberedError {
public:
    using NumberedError::NumberedError;
};

} // namespace tolvane::engine
