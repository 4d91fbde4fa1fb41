#include "EastonsLegacyFixture.h"

#include "support/TestSupport.h"

#include <QFile>
#include <stdexcept>

namespace tolvane::test {

namespace {

constexpr qsizetype kPageSize = 2048; // Jet 3
constexpr char kTableDefinitionPage = 0x02;

quint32 u32At(const QByteArray& b, qsizetype at) {
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v |= quint32(static_cast<unsigned char>(b[at + i])) << (8 * i);
    return v;
}

void putU32(QByteArray& b, qsizetype at, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xff);
}

} // namespace

QString writeEastonsLegacyFile(const QString& nwind, const QString& folder) {
    QByteArray file = readFile(nwind);
    if (file.isEmpty() || file.size() % kPageSize != 0)
        throw std::runtime_error("not a Jet 3 file: " + nwind.toStdString());

    // Column names in a Jet 3 table definition are a length byte and the name, one after
    // the other; the definition's length is at offset 8. Shorter names shift what follows.
    const QByteArray oldNames("\x08ShipName\x0bShipAddress");
    const QByteArray newNames("\x06" "dbword" "\x06" "dbdesc");
    int patched = 0;
    for (qsizetype page = 0; page < file.size(); page += kPageSize) {
        if (file[page] != kTableDefinitionPage)
            continue;
        QByteArray p = file.mid(page, kPageSize);
        const quint32 length = u32At(p, 8);
        const qsizetype end = 8 + qsizetype(length);
        const qsizetype at = p.indexOf(oldNames);
        if (at < 0 || at >= end || end > kPageSize)
            continue;
        const qsizetype removed = oldNames.size() - newNames.size();
        QByteArray body = p.left(end);
        body.replace(at, oldNames.size(), newNames);
        body.append(QByteArray(removed, '\0'));
        p.replace(0, end, body);
        putU32(p, 8, length - quint32(removed));
        file.replace(page, kPageSize, p);
        ++patched;
    }
    // The catalog's name of the table, the same length in Windows-1252.
    const qsizetype name = file.indexOf("Ums\xe4tze");
    if (patched == 0 || name < 0 || file.indexOf("Ums\xe4tze", name + 1) >= 0)
        throw std::runtime_error("unexpected layout in " + nwind.toStdString());
    file.replace(name, 7, "dbwords");

    const QString path = folder + QStringLiteral("/data.mdb");
    writeFile(path, file);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

} // namespace tolvane::test
