#include "engine/FileSniffer.h"

#include "engine/RegularFile.h"

#include <QFile>
#include <QFileInfo>

namespace tolvane::engine {

namespace {

quint32 bigEndian(const QByteArray& bytes, int offset, int length) {
    quint32 value = 0;
    for (int i = 0; i < length; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

// A Jet file starts 00 01 00 00 followed by its engine's name.
bool isJetHeader(const QByteArray& head) {
    if (head.size() < 19 || !head.startsWith(QByteArray("\x00\x01\x00\x00", 4)))
        return false;
    const QByteArray name = head.mid(4, 15);
    return name == "Standard Jet DB" || name == "Standard ACE DB";
}

// A non-empty rollback journal or any write-ahead log beside the file: SQLite may have a
// change to roll back or to replay, and only it can tell.
bool hasJournalOrLog(const QString& path) {
    const QFileInfo journal(path + QStringLiteral("-journal"));
    return (journal.exists() && journal.size() > 0) ||
           QFileInfo::exists(path + QStringLiteral("-wal"));
}

} // namespace

FileSniff sniffDatabaseFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return {FileKind::Missing, {}};
    if (info.isDir())
        return {FileKind::Folder, {}};
    QFile file;
    if (const std::optional<QString> why = openRegularFile(path, file)) {
        if (const std::optional<QString> kind = nonRegularFileKind(path))
            return {FileKind::Special, *kind};
        return {FileKind::Unreadable, *why};
    }
    const qint64 size = file.size();
    if (size == 0)
        return {FileKind::Empty, {}};
    const QByteArray head = file.read(100);

    if (isJetHeader(head))
        return {FileKind::Jet, {}};
    if (hasJournalOrLog(path))
        return {FileKind::SQLite, {}};

    static const QByteArray sqliteMagic("SQLite format 3\0", 16);
    if (!head.startsWith(sqliteMagic)) {
        if (sqliteMagic.startsWith(head))
            return {FileKind::Truncated, QStringLiteral("only %1 bytes present").arg(size)};
        return {FileKind::Unknown, {}};
    }
    if (head.size() < 100)
        return {FileKind::Truncated,
                QStringLiteral("the 100-byte header is cut off after %1 bytes").arg(size)};

    quint32 pageSize = bigEndian(head, 16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0)
        return {FileKind::Unknown, QStringLiteral("invalid page size %1").arg(pageSize)};
    // The page count in the header is only trustworthy when written by the same version
    // that last changed the file; older writers left it stale.
    const quint32 pageCount = bigEndian(head, 28, 4);
    const bool countValid = pageCount != 0 && bigEndian(head, 92, 4) == bigEndian(head, 24, 4);
    if (countValid) {
        const qint64 expected = qint64(pageCount) * pageSize;
        if (size < expected)
            return {FileKind::Truncated,
                    QStringLiteral("%1 of %2 bytes present")
                        .arg(QString::number(size), QString::number(expected))};
    } else if (size < pageSize) {
        return {FileKind::Truncated, QStringLiteral("%1 bytes present, less than one %2-byte page")
                                         .arg(QString::number(size), QString::number(pageSize))};
    }
    return {FileKind::SQLite, {}};
}

} // namespace tolvane::engine
