#pragma once
// Checks and decodes the byte stream of the Jet reading helper (JetProtocol.h). The stream
// comes from a process that runs an unreliable library, so nothing in it is trusted: every
// length is checked against what is left, records must come in their order, every text must
// be valid UTF-8 and counts must agree. Anything else is reported, never guessed at.

#include "engine/legacy/LegacyTable.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace tolvane::engine::legacy {

struct ParsedJetStream {
    LegacyDatabase database;    // the tables (path left empty)
    bool complete = false;      // ended with its end record
    std::optional<QString> failure; // the helper's own report of what went wrong
};

// Parses a whole stream. Returns the tables and whether the stream was complete, or the
// helper's failure report. Throws JetStreamError when the bytes do not follow the format.
ParsedJetStream parseJetStream(const QByteArray& bytes);

class JetStreamError {
public:
    explicit JetStreamError(QString what) : m_what(std::move(what)) {}
    const QString& what() const { return m_what; }

private:
    QString m_what;
};

} // namespace tolvane::engine::legacy
