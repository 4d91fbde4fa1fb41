#include "import/DictionaryFileWriter.h"

#include "data/DictionaryConfig.h"
#include "data/FullTextSource.h"
#include "engine/EngineError.h"
#include "engine/FullTextFunctions.h"
#include "engine/FullTextIndex.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "import/ImportTemporary.h"
#include "richtext/PlainText.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace tolvane::import {

namespace {

// A freshly made temporary file is private to its owner; the dictionary should get the
// permissions of the file it replaces, or those of an ordinary new file.
void givePermissions(const QString& temporary, const QString& output) {
    QFileInfo previous(output);
    if (previous.exists()) {
        QFile::setPermissions(temporary, previous.permissions());
        return;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (!(mask & S_IRGRP))
        permissions |= QFileDevice::ReadGroup;
    if (!(mask & S_IWGRP))
        permissions |= QFileDevice::WriteGroup;
    if (!(mask & S_IROTH))
        permissions |= QFileDevice::ReadOther;
    if (!(mask & S_IWOTH))
        permissions |= QFileDevice::WriteOther;
    QFile::setPermissions(temporary, permissions);
}

} // namespace

void checkOutputPlace(const QString& output) {
    const QFileInfo outputInfo(output);
    const QString folder = outputInfo.absolutePath();
    if (!QFileInfo(folder).isDir())
        throw ImportError(output, 0, QStringLiteral("the folder %1 does not exist").arg(folder));
    if (outputInfo.isDir())
        throw ImportError(output, 0, QStringLiteral("is a folder, not a file"));
}

void writeDictionaryFile(const QString& output,
                         const std::function<void(engine::sqlite::Connection&)>& fill) {
    checkOutputPlace(output);
    const QString folder = QFileInfo(output).absolutePath();
    ImportTemporary temporary(output, QStringLiteral("import"));
    const QString& temporaryPath = temporary.path();

    try {
        engine::sqlite::Connection connection(temporaryPath,
                                              engine::sqlite::OpenMode::ReadWriteCreate, output);
        // The whole file is thrown away on failure, so a rollback journal would only cost
        // time; the file is synced once, before it is renamed into place.
        connection.exec(QStringLiteral("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF"));
        fill(connection);
    } catch (const engine::EngineError& e) {
        ImportError error(output, 0, e.message());
        if (e.number() == engine::err::DiskFull)
            error.markDiskFull();
        throw error;
    }

    // The new file only reaches the output's name once it is complete and on disk, and the
    // rename only counts once the folder is on disk too.
    syncFileToDisk(temporaryPath, output);
    givePermissions(temporaryPath, output);
    if (std::rename(QFile::encodeName(temporaryPath).constData(),
                    QFile::encodeName(output).constData()) != 0)
        throw ImportError(output, 0,
                          QStringLiteral("cannot put the new file in place: %1")
                              .arg(QString::fromLocal8Bit(std::strerror(errno))));
    temporary.placed();
    syncFolderToDisk(folder, output);
}

void indexDictionaryTable(engine::sqlite::Connection& connection,
                          const data::DictionaryConfig& dictionary) {
    engine::createHeadwordIndex(connection, dictionary.table, dictionary.headwordColumn);
    engine::createListIndex(connection, dictionary.table, dictionary.headwordColumn);
    engine::setRichTextFlattener(&richtext::plainTextOfValue);
    engine::buildFullTextIndex(connection, data::fullTextSource(dictionary));
}

} // namespace tolvane::import
