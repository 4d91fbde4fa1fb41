#include "import/JetImport.h"

#include "data/FullTextSource.h"
#include "engine/EngineError.h"
#include "engine/FileSniffer.h"
#include "engine/FullTextFunctions.h"
#include "engine/FullTextIndex.h"
#include "engine/RegularFile.h"
#include "engine/Schema.h"
#include "engine/legacy/JetLoader.h"
#include "engine/legacy/LegacyCopy.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"
#include "import/ImportTemporary.h"
#include "richtext/PlainText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace tolvane::import {

namespace {

using engine::legacy::LegacyDatabase;
using engine::legacy::LegacyTable;

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

void checkDictionary(const LegacyDatabase& db, const data::DictionaryConfig& dictionary,
                     const QString& file) {
    const LegacyTable* table = db.table(dictionary.table);
    if (!table) {
        QStringList names;
        for (const LegacyTable& t : db.tables)
            names << t.name;
        throw ImportError(
            file, 0,
            QStringLiteral("it has no table '%1', which %2 needs (its tables: %3)")
                .arg(dictionary.table, dictionary.fileName,
                     names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "))));
    }
    QStringList needed{dictionary.headwordColumn, dictionary.definitionColumn};
    if (dictionary.hasScripture())
        needed << dictionary.scriptureColumn;
    for (const QString& column : needed)
        if (!table->columns.contains(column, Qt::CaseInsensitive))
            throw ImportError(
                file, 0,
                QStringLiteral("table '%1' has no column '%2' (it needs %3; it has %4)")
                    .arg(table->name, column, needed.join(QStringLiteral(", ")),
                         table->columns.join(QStringLiteral(", "))));
}

qint64 storedRowCount(engine::sqlite::Connection& connection, const QString& table) {
    auto count = connection.prepare(
        QStringLiteral("SELECT count(*) FROM %1").arg(engine::quoteIdentifier(table)));
    return count.step() ? count.columnInt64(0) : -1;
}

// Builds the new file at `path` and checks that every row arrived.
void build(const QString& path, const QString& shownAs, const LegacyDatabase& legacy,
           const data::DictionaryConfig* dictionary) {
    engine::sqlite::Connection connection(path, engine::sqlite::OpenMode::ReadWriteCreate, shownAs);
    // The file is thrown away on failure, so a rollback journal would only cost time; it is
    // synced once, before it takes its name.
    connection.exec(QStringLiteral("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF"));
    engine::legacy::copyLegacyTables(legacy, connection);
    if (dictionary) {
        const LegacyTable* table = legacy.table(dictionary->table);
        for (const QString& column : table->columns)
            if (column.compare(dictionary->headwordColumn, Qt::CaseInsensitive) == 0) {
                engine::createHeadwordIndex(connection, table->name, column);
                engine::createListIndex(connection, table->name, column);
            }
        // The index holds the words a rich-text scripture value shows, not its markup.
        engine::setRichTextFlattener(&richtext::plainTextOfValue);
        engine::buildFullTextIndex(connection, data::fullTextSource(*dictionary));
    }
    for (const LegacyTable& table : legacy.tables)
        if (storedRowCount(connection, table.name) != qint64(table.rows.size()))
            throw ImportError(shownAs, 0,
                              QStringLiteral("table '%1' did not store all its %2 rows")
                                  .arg(table.name, QString::number(table.rows.size())));
}

// The legacy file gets a second name first (a hard link cannot replace anything), so the
// dictionary's own name never goes missing. Where links are not possible, it is moved with a
// rename that refuses to replace.
enum class KeptBy { Link, Move };

KeptBy keepLegacy(const QString& input, const QString& kept) {
    if (::link(encoded(input).constData(), encoded(kept).constData()) == 0)
        return KeptBy::Link;
    if (errno == EEXIST)
        throw ImportError(input, 0,
                          QStringLiteral("%1 already exists; it is never overwritten. Move "
                                         "it away and convert again")
                              .arg(kept));
    if (::renameat2(AT_FDCWD, encoded(input).constData(), AT_FDCWD, encoded(kept).constData(),
                    RENAME_NOREPLACE) == 0)
        return KeptBy::Move;
    throw ImportError(
        input, 0, QStringLiteral("cannot keep the legacy file as %1: %2").arg(kept, systemError()));
}

void undoKeep(const QString& input, const QString& kept, KeptBy how) {
    if (how == KeptBy::Link)
        ::unlink(encoded(kept).constData()); // the legacy file still has its own name
    else
        ::renameat2(AT_FDCWD, encoded(kept).constData(), AT_FDCWD, encoded(input).constData(),
                    RENAME_NOREPLACE);
}

} // namespace

QString keptLegacyName(const QString& input) {
    return input + QStringLiteral(".jet");
}

bool isJetFile(const QString& path) {
    return engine::sniffDatabaseFile(path).kind == engine::FileKind::Jet;
}

JetImportResult importJet(const JetImportRequest& request) {
    const QFileInfo inputInfo(request.input);
    if (const std::optional<QString> kind = engine::nonRegularFileKind(request.input))
        throw ImportError(request.input, 0,
                          QStringLiteral("is ") + *kind + QStringLiteral(", not a regular file"));
    if (!inputInfo.isFile())
        throw ImportError(request.input, 0, QStringLiteral("no such file"));
    const bool inPlace = request.output.isEmpty();
    JetImportResult result;
    result.written = inPlace ? request.input : request.output;
    const QFileInfo outputInfo(result.written);
    const QString folder = outputInfo.absolutePath();

    if (inPlace) {
        result.kept = keptLegacyName(request.input);
        if (QFileInfo(result.kept).exists() || QFileInfo(result.kept).isSymLink())
            throw ImportError(request.input, 0,
                              QStringLiteral("%1 already exists; it is never overwritten. Move it "
                                             "away and convert again")
                                  .arg(result.kept));
    } else {
        if (!QFileInfo(folder).isDir())
            throw ImportError(request.output, 0,
                              QStringLiteral("the folder %1 does not exist").arg(folder));
        if (outputInfo.isDir())
            throw ImportError(request.output, 0, QStringLiteral("is a folder, not a file"));
        if (outputInfo.exists() && outputInfo.canonicalFilePath() == inputInfo.canonicalFilePath())
            throw ImportError(request.output, 0,
                              QStringLiteral("is the legacy file itself; leave out the output to "
                                             "convert in place"));
        if (outputInfo.exists() && isJetFile(request.output))
            throw ImportError(request.output, 0,
                              QStringLiteral("is a legacy Jet database and would be lost; convert "
                                             "it in place instead"));
    }

    engine::legacy::JetLoadOptions options;
    options.codepage = request.codepage;
    options.tables = request.tables;
    options.helperPath = request.helperPath;
    LegacyDatabase legacy;
    try {
        legacy = engine::legacy::loadJetDatabase(request.input, options);
    } catch (const engine::EngineError& e) {
        throw ImportError(request.input, 0, e.message());
    }
    if (legacy.tables.empty())
        throw ImportError(request.input, 0,
                          QStringLiteral("it holds no tables; there is nothing to convert"));
    if (request.dictionary)
        checkDictionary(legacy, *request.dictionary, request.input);

    ImportTemporary temporary(result.written, QStringLiteral("convert"));
    const QString& temporaryPath = temporary.path();

    try {
        build(temporaryPath, result.written, legacy, request.dictionary);
    } catch (const engine::EngineError& e) {
        throw ImportError(result.written, 0, e.message());
    }
    syncFileToDisk(temporaryPath, result.written);
    // The new file takes the permissions of the file whose name it takes.
    // The new file takes the permissions of the file whose name it takes, writable by its
    // owner: a legacy file copied from a read-only medium is often read-only, and the point
    // of converting is to be able to change the dictionary.
    const QFileInfo named(result.written);
    QFile::setPermissions(temporaryPath,
                          (named.exists() ? named.permissions() : inputInfo.permissions()) |
                              QFileDevice::WriteOwner);

    std::optional<KeptBy> keptBy;
    if (inPlace)
        keptBy = keepLegacy(request.input, result.kept);
    if (std::rename(encoded(temporaryPath).constData(), encoded(result.written).constData()) != 0) {
        const QString why = systemError();
        if (keptBy)
            undoKeep(request.input, result.kept, *keptBy);
        throw ImportError(result.written, 0,
                          QStringLiteral("cannot put the new file in place: %1").arg(why));
    }
    temporary.placed();
    // The renames are only durable once the folder itself is on disk.
    syncFolderToDisk(folder, result.written);

    for (const LegacyTable& table : legacy.tables)
        result.tables.emplace_back(table.name, qint64(table.rows.size()));
    return result;
}

} // namespace tolvane::import
