#pragma once
// The stream the SWORD reading helper (tolvane-swordread) writes to its standard output and
// the import tool reads back. The helper runs libsword, which can crash or loop forever on a
// damaged module; the import tool trusts only a stream that arrived complete and well formed.
//
// Stream: the magic bytes, then records in QDataStream form (Qt 6.0 format). A record is a
// quint8 tag followed by its fields; texts are QByteArray holding UTF-8.
//
//   'S' searched   folder                    a folder libsword looked for modules in
//   'M' module     name, type, description,  one per module listed, or the module read
//                  folder, qint64 entries,
//                  version, licence, qint64 size (bytes)
//   'E' entry      key, text                 the key as the module gives it and the entry
//                                            rendered to plain text by libsword
//   'X' failure    quint8 kind, message,     nothing follows it
//                  detail
//   'Z' end        qint64 number of 'M' (listing) or 'E' (reading) records
//
// Usage: tolvane-swordread [--memory-limit-mb N] [--cpu-limit-s N] (--list | --module NAME)
// (and --verses, a long-lived verse mode with a line protocol of its own:
// references/VerseProtocol.h)

#include <QtGlobal>

namespace tolvane::import::swordstream {

inline constexpr char kMagic[8] = {'T', 'O', 'L', 'V', 'S', 'W', 'D', '\x02'};

enum Tag : quint8 {
    Searched = 'S',
    Module = 'M',
    Entry = 'E',
    Failure = 'X',
    End = 'Z',
};

enum FailureKind : quint8 {
    NotFound = 1,      // no module of that name; detail: empty
    NotDictionary = 2, // the module is of another kind; detail: its type
    Damaged = 3,       // the module's files cannot be read; detail: the key at fault, if any
};

// Exit status of the helper when it reported a failure with an 'X' record.
inline constexpr int kExitReportedFailure = 2;
// Exit status for a usage mistake (bad arguments).
inline constexpr int kExitUsage = 64;

} // namespace tolvane::import::swordstream
