#pragma once
// The byte stream the Jet reading helper (tolvane-jetread) writes to its standard output and
// the engine reads back. The helper runs libmdb, which can hang, crash or print on a damaged
// file; keeping the format tiny and length-prefixed lets the reading side check every byte
// before it trusts any of it.
//
// Stream:  magic, then records. A record is a one-byte tag, a 32-bit little-endian payload
// length and the payload. Integers inside payloads are 32-bit little-endian too.
//
//   'F' format      payload: "JET3" or "JET4"
//   'T' table       payload: u32 column count, then the table name (UTF-8)
//   'C' column      payload: u8 libmdb column type, then the column name (UTF-8)
//                   (exactly `column count` of them follow their 'T')
//   'R' row         payload: per column, u8 present (0 = null, 1 = text) and, when present,
//                   u32 length and that many bytes of UTF-8
//   'D' table done  payload: u32 number of 'R' records of the table
//   'X' failure     payload: a message (UTF-8); nothing follows it
//   'Z' end         payload: u32 number of tables; nothing follows it
//
// Headers only: no Qt and no libmdb, so both sides can share it.

#include <cstddef>
#include <cstdint>

namespace tolvane::engine::jetstream {

inline constexpr char kMagic[8] = {'T', 'O', 'L', 'V', 'J', 'E', 'T', '\x01'};
inline constexpr std::size_t kMagicSize = sizeof(kMagic);
inline constexpr std::size_t kRecordHeaderSize = 5;

enum Tag : unsigned char {
    Format = 'F',
    Table = 'T',
    Column = 'C',
    Row = 'R',
    TableDone = 'D',
    Failure = 'X',
    End = 'Z',
};

// Exit status of the helper when it reported a failure with an 'X' record.
inline constexpr int kExitReportedFailure = 2;
// Exit status for a usage mistake (bad arguments).
inline constexpr int kExitUsage = 64;

// libmdb column types the helper hands over as upper-case hexadecimal text.
inline constexpr unsigned char kTypeBinary = 0x09;
inline constexpr unsigned char kTypeText = 0x0a;
inline constexpr unsigned char kTypeOle = 0x0b;
inline constexpr unsigned char kTypeMemo = 0x0c;

} // namespace tolvane::engine::jetstream
