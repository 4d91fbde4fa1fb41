#include "platform/SettingsFileCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tolvane::platform {

namespace {

QString notKept(const QString& path, const QString& what, const QString& remedy) {
    return QStringLiteral("The settings file %1 %2, so settings are not kept. %3")
        .arg(QDir::toNativeSeparators(path), what, remedy);
}

} // namespace

QString settingsFileProblem(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const uid_t user = ::geteuid();
    const QString asOwner = QStringLiteral("Run Tolvane as that user to have them kept.");
    // The folder it goes in (a link to it followed) takes the new file: the user's own too.
    struct stat folder {};
    if (::stat(QFile::encodeName(QFileInfo(path).path()).constData(), &folder) == 0 &&
        folder.st_uid != user)
        return notKept(path, QStringLiteral("is in a folder that belongs to another user"),
                       asOwner);
    struct stat own {};
    // Not there (it is made) or out of reach (writing fails and is reported as such).
    if (::lstat(name.constData(), &own) != 0)
        return {};
    if (S_ISREG(own.st_mode))
        return own.st_uid == user
                   ? QString()
                   : notKept(path, QStringLiteral("belongs to another user"), asOwner);
    if (!S_ISLNK(own.st_mode))
        return notKept(path, QStringLiteral("is not a file"),
                       QStringLiteral("Remove it to have them kept."));

    const QString target = QDir::toNativeSeparators(QFileInfo(path).symLinkTarget());
    const QString relink =
        QStringLiteral("Remove the link, or point it at a file of yours, to have them kept.");
    struct stat pointed {};
    if (::stat(name.constData(), &pointed) != 0)
        return notKept(path,
                       QStringLiteral("is a link to %1, which %2")
                           .arg(target, errno == ENOENT ? QStringLiteral("does not exist")
                                                        : QStringLiteral("cannot be opened")),
                       relink);
    if (!S_ISREG(pointed.st_mode))
        return notKept(path, QStringLiteral("is a link to %1, which is not a file").arg(target),
                       relink);
    if (pointed.st_uid != user)
        return notKept(path,
                       QStringLiteral("is a link to %1, which belongs to another user").arg(target),
                       relink);
    return {};
}

QString unkeptSettingsFolder() {
    static const QTemporaryDir folder(QDir::tempPath() +
                                      QStringLiteral("/tolvane-settings-XXXXXX"));
    // Without a temporary folder, a path below a device, where nothing can be made at all.
    return folder.isValid() ? folder.path() : QStringLiteral("/dev/null/tolvane");
}

} // namespace tolvane::platform
