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
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// SQLite calls a short write a full disk, but a write refused outright (EFBIG past a file-size
// limit, EDQUOT past a quota, ENOSPC for a whole page) a plain I/O error. Whether the disk is
// full is then told by trying to grow the file where it was growing.
bool noRoomToGrow(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    static const char zeros[64 * 1024] = {};
    bool full = false;
    if (::fstat(fd, &info) == 0 && ::pwrite(fd, zeros, sizeof zeros, info.st_size) < 0)
        full = errno == ENOSPC || errno == EDQUOT || errno == EFBIG;
    ::close(fd);
    return full;
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
        if (e.number() == engine::err::DiskFull ||
            (e.number() == engine::err::DiskIo && noRoomToGrow(temporaryPath)))
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
