#include "engine/OpenDatabase.h"

#include "engine/FileSniffer.h"
#include "engine/SqliteDatabase.h"

#include <QDir>

namespace tolvane::engine {

namespace {

ForeignFileOpener& jetOpener() {
    static ForeignFileOpener opener;
    return opener;
}

[[noreturn]] void unrecognized(const QString& path, const QString& why) {
    throw EngineError(err::UnrecognizedFormat,
                      QStringLiteral("Unrecognized database format '%1': %2.").arg(path, why));
}

bool& everyFileReadOnly() {
    static bool readOnly = false;
    return readOnly;
}

} // namespace

void setOpenEveryFileReadOnly(bool readOnly) {
    everyFileReadOnly() = readOnly;
}

void setJetFileOpener(ForeignFileOpener opener) {
    jetOpener() = std::move(opener);
}

std::shared_ptr<Database> openDatabaseFile(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    const FileSniff sniff = sniffDatabaseFile(path);
    switch (sniff.kind) {
    case FileKind::Missing:
        throw EngineError(err::FileNotFound,
                          QStringLiteral("Could not find file '%1'.").arg(shown));
    case FileKind::Folder:
        throw EngineError(err::FileNotFound,
                          QStringLiteral("Could not find file '%1': that is a folder, not a "
                                         "database file.")
                              .arg(shown));
    case FileKind::Special:
        unrecognized(shown, QStringLiteral("it is ") + sniff.detail +
                                QStringLiteral(", not a regular file"));
    case FileKind::Unreadable:
        throw EngineError(
            err::FileInUse,
            QStringLiteral("The database file '%1' cannot be read (%2).").arg(shown, sniff.detail));
    case FileKind::Empty:
        unrecognized(shown, QStringLiteral("the file is empty"));
    case FileKind::Truncated:
        unrecognized(shown, QStringLiteral("the file is cut short (%1)").arg(sniff.detail));
    case FileKind::Unknown:
        unrecognized(shown,
                     sniff.detail.isEmpty()
                         ? QStringLiteral("the file is not a database")
                         : QStringLiteral("the file is not a database (%1)").arg(sniff.detail));
    case FileKind::Jet:
        if (jetOpener())
            return jetOpener()(path);
        unrecognized(shown, QStringLiteral("it is a Jet (Access) database, which this program "
                                           "cannot open"));
    case FileKind::SQLite:
        break;
    }

    const bool readOnly = everyFileReadOnly();
    auto connection = std::make_unique<sqlite::Connection>(
        path, readOnly ? sqlite::OpenMode::ReadOnly : sqlite::OpenMode::ReadWrite, shown);
    // Reading the schema makes SQLite check the header and first page now, so a damaged file
    // is refused here rather than at the first query.
    connection->exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    // A change must be on the disk when Update or Delete returns: sync at every commit.
    connection->exec(QStringLiteral("PRAGMA synchronous = FULL"));
    return databaseFromConnection(std::move(connection), shown, readOnly);
}

} // namespace tolvane::engine
