#include "StreamWriter.h"

#include "engine/legacy/JetProtocol.h"

#include <cerrno>
#include <cstdlib>
#include <unistd.h>

namespace tolvane::jetread {

namespace js = tolvane::engine::jetstream;

namespace {
constexpr std::size_t kFlushThreshold = 1 << 16;
}

StreamWriter::StreamWriter(int fd) : m_fd(fd) {}

StreamWriter::~StreamWriter() { flush(); }

void StreamWriter::appendU32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xffu));
}

void StreamWriter::record(unsigned char tag, std::string_view payload) {
    m_buffer.push_back(static_cast<char>(tag));
    appendU32(m_buffer, static_cast<std::uint32_t>(payload.size()));
    m_buffer.append(payload);
    if (m_buffer.size() >= kFlushThreshold)
        flush();
}

void StreamWriter::flush() {
    std::size_t done = 0;
    while (done < m_buffer.size()) {
        const ssize_t n = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            std::_Exit(1);
        done += static_cast<std::size_t>(n);
    }
    m_buffer.clear();
}

void StreamWriter::magic() {
    m_buffer.append(js::kMagic, js::kMagicSize);
}

void StreamWriter::format(std::string_view version) { record(js::Format, version); }

void StreamWriter::table(std::string_view name, std::uint32_t columnCount) {
    std::string payload;
    appendU32(payload, columnCount);
    payload.append(name);
    record(js::Table, payload);
}

void StreamWriter::column(unsigned char type, std::string_view name) {
    std::string payload(1, static_cast<char>(type));
    payload.append(name);
    record(js::Column, payload);
}

void StreamWriter::tableDone(std::uint32_t rowCount) {
    std::string payload;
    appendU32(payload, rowCount);
    record(js::TableDone, payload);
}

void StreamWriter::failure(std::string_view message) {
    record(js::Failure, message);
    flush();
}

void StreamWriter::end(std::uint32_t tableCount) {
    std::string payload;
    appendU32(payload, tableCount);
    record(js::End, payload);
    flush();
}

void StreamWriter::beginRow() { m_row.clear(); }

void StreamWriter::nullField() { m_row.push_back('\0'); }

void StreamWriter::textField(std::string_view utf8) {
    m_row.push_back('\1');
    appendU32(m_row, static_cast<std::uint32_t>(utf8.size()));
    m_row.append(utf8);
}

void StreamWriter::endRow() { record(js::Row, m_row); }

} // namespace tolvane::jetread
