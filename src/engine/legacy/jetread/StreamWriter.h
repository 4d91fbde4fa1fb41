#pragma once
// Writes the records of the helper's output stream (see engine/legacy/JetProtocol.h) to a
// file descriptor, buffered. A failed write ends the process: the reading side has gone and
// nobody is left to tell.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane::jetread {

class StreamWriter {
public:
    explicit StreamWriter(int fd);
    ~StreamWriter();
    StreamWriter(const StreamWriter&) = delete;
    StreamWriter& operator=(const StreamWriter&) = delete;

    void magic();
    void format(std::string_view version);
    void table(std::string_view name, std::uint32_t columnCount);
    void column(unsigned char type, std::string_view name);
    void tableDone(std::uint32_t rowCount);
    void failure(std::string_view message);
    void end(std::uint32_t tableCount);

    // A row is built field by field and then written as one record.
    void beginRow();
    void nullField();
    void textField(std::string_view utf8);
    void endRow();

    void flush();

private:
    void record(unsigned char tag, std::string_view payload);
    static void appendU32(std::string& out, std::uint32_t value);

    int m_fd;
    std::string m_buffer;
    std::string m_row;
};

} // namespace tolvane::jetread
