#include "platform/DictionaryFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace tolvane::platform {

namespace {

bool holdsAnyOf(const QString& folder, const QStringList& fileNames) {
    const QDir dir(folder);
    for (const QString& name : fileNames)
        if (QFileInfo(dir.filePath(name)).isFile())
            return true;
    return false;
}

QString firstExistingFolder(const QStringList& folders) {
    for (const QString& folder : folders)
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    return {};
}

// Whether a file can be created in `folder`: the only sure test, since permission bits say
// nothing for root, read-only mounts or access control lists.
bool canWriteIn(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".tolvane-write-test-XXXXXX")));
    return probe.open();
}

// Copies `source` to `target` unless `target` exists; the copy belongs to the user and can be
// written even when the shipped file cannot. Returns an error text, empty on success.
QString copyIfMissing(const QString& source, const QString& target, bool* copied) {
    *copied = false;
    auto exists = [&] { return QFileInfo(target).exists() || QFileInfo(target).isSymLink(); };
    if (exists() || !QFileInfo(source).isFile())
        return {};
    QFile file(source);
    // QFile::copy writes a temporary file beside the target and renames it into place, never
    // replacing a file: a program starting at the same moment sees no file or a whole one.
    if (!file.copy(target)) {
        if (exists())
            return {}; // that other program has just made it: its copy is as good as ours
        return QStringLiteral("%1 cannot be copied into it (%2)")
            .arg(QDir::toNativeSeparators(source), file.errorString());
    }
    QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
    *copied = true;
    return {};
}

// $XDG_DATA_HOME, or ~/.local/share when it is unset, empty or relative: the XDG rules call a
// relative path invalid, and it would name a different folder from every working folder.
QString dataHome() {
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    const QString home = QDir::homePath();
    return home.isEmpty() ? QString() : QDir(home).filePath(QStringLiteral(".local/share"));
}

DictionaryFolder shippedInstead(const DictionaryFolderPlaces& places, const QString& why) {
    DictionaryFolder result;
    const QString shipped = firstExistingFolder(places.shippedFolders);
    result.source = DictionaryFolder::Source::Shipped;
    result.readOnly = true;
    result.path = shipped.isEmpty() ? places.userFolder : shipped;
    const QString user = QDir::toNativeSeparators(places.userFolder);
    result.problem =
        shipped.isEmpty()
            ? QStringLiteral("The dictionary folder \"%1\" cannot be used: %2. No shipped "
                             "dictionaries were found to open instead.")
                  .arg(user, why)
            : QStringLiteral("The dictionary folder \"%1\" cannot be used: %2. Tolvane opens the "
                             "dictionaries shipped in \"%3\" read-only, so changes cannot be "
                             "saved.")
                  .arg(user, why, QDir::toNativeSeparators(shipped));
    return result;
}

} // namespace

DictionaryFolderPlaces standardDictionaryFolderPlaces(const QString& requested,
                                                      const QStringList& fileNames) {
    DictionaryFolderPlaces places;
    places.requested = requested;
    places.executableFolder = QCoreApplication::applicationDirPath();
    if (const QString data = dataHome(); !data.isEmpty())
        places.userFolder = QDir(data).filePath(QStringLiteral("tolvane"));
    places.shippedFolders = {
        QDir::cleanPath(places.executableFolder + QStringLiteral("/" TOLVANE_DATA_DIR_FROM_BIN)),
        QStringLiteral(TOLVANE_DATA_DIR)};
    places.shippedFolders.removeDuplicates();
    places.fileNames = fileNames;
    return places;
}

DictionaryFolder locateDictionaryFolder(const DictionaryFolderPlaces& places) {
    DictionaryFolder result;
    if (!places.requested.isEmpty()) {
        result.source = DictionaryFolder::Source::Requested;
        result.path = QDir::cleanPath(QFileInfo(places.requested).absoluteFilePath());
    } else if (holdsAnyOf(places.executableFolder, places.fileNames)) {
        result.source = DictionaryFolder::Source::Executable;
        result.path = places.executableFolder;
    } else {
        result.source = DictionaryFolder::Source::User;
        result.path = places.userFolder;
    }
    return result;
}

DictionaryFolder prepareDictionaryFolder(const DictionaryFolderPlaces& places) {
    DictionaryFolder result = locateDictionaryFolder(places);
    if (result.source != DictionaryFolder::Source::User)
        return result;
    if (places.userFolder.isEmpty())
        return shippedInstead(places, QStringLiteral("there is no home folder to hold it"));
    if (!QDir().mkpath(places.userFolder))
        return shippedInstead(places, QStringLiteral("it cannot be created"));
    if (!canWriteIn(places.userFolder))
        return shippedInstead(places, QStringLiteral("it cannot be written to"));

    const QString shipped = firstExistingFolder(places.shippedFolders);
    if (shipped.isEmpty())
        return result;
    for (const QString& name : places.fileNames) {
        bool copied = false;
        const QString error = copyIfMissing(QDir(shipped).filePath(name),
                                            QDir(places.userFolder).filePath(name), &copied);
        if (!error.isEmpty())
            return shippedInstead(places, error);
        if (copied)
            result.copied << name;
    }
    return result;
}

} // namespace tolvane::platform
