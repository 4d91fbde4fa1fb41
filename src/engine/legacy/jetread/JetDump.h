#pragma once
// Reads a Jet 3 / Jet 4 database with libmdb and writes its user tables, every column as
// text, to the helper's output stream. Runs only inside the helper process.

#include <string>
#include <vector>

namespace tolvane::jetread {

class StreamWriter;
class LibraryNoise;

struct DumpRequest {
    std::string path;
    // Only these tables (exact names); all user tables when empty.
    std::vector<std::string> tables;
};

// Writes the whole stream after the magic: 'F', the tables, then 'Z'; or an 'X' record at
// the first problem. Returns the process exit status.
int dumpDatabase(const DumpRequest& request, StreamWriter& out, LibraryNoise& noise);

} // namespace tolvane::jetread
