#pragma once
// The rows the crash tests write: each one tells by its own text whether it was written
// whole, so a half-written row cannot pass for a good one.

#include <QString>

namespace tolvane::test {

inline QString crashHeadword(int id) {
    return QLatin1Char('W') + QString::number(id);
}

// "<id>.<version>|" repeated and cut to `length` characters (at least one whole unit).
inline QString crashRowText(int id, int version, int length) {
    const QString unit =
        QString::number(id) + QLatin1Char('.') + QString::number(version) + QLatin1Char('|');
    return unit.repeated(length / unit.size() + 1).left(length);
}

} // namespace tolvane::test
