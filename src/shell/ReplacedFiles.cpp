#include "shell/ReplacedFiles.h"

#include "data/AddedDictionaries.h"
#include "data/DataOperations.h"

#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QTimer>
#include <sys/stat.h>

namespace tolvane::shell {

ReplacedFiles::ReplacedFiles(QObject* parent)
    : QObject(parent), m_watcher(new QFileSystemWatcher(this)), m_gather(new QTimer(this)) {
    m_gather->setSingleShot(true);
    m_gather->setInterval(kGatherMs);
    connect(m_gather, &QTimer::timeout, this, &ReplacedFiles::checkDue);
    // A replacement shows in the folder (a temporary file renamed to the name), not in the old
    // file, which is left as it was.
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &ReplacedFiles::checkSoon);
}

ReplacedFiles::Identity ReplacedFiles::identityOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {0, 0};
    return {quint64(st.st_dev), quint64(st.st_ino)};
}

void ReplacedFiles::opening(const data::DictionaryConfig& config, const QString& folder) {
    watch(folder);
    m_opened[config.windowName] = identityOf(data::dictionaryPath(config, folder));
}

bool ReplacedFiles::isReplaced(const data::DictionaryConfig& config, const QString& folder) const {
    const auto it = m_opened.find(config.windowName);
    if (it == m_opened.end() || it->second == Identity{0, 0})
        return false;
    const Identity now = identityOf(data::dictionaryPath(config, folder));
    return now != Identity{0, 0} && now != it->second;
}

void ReplacedFiles::watch(const QString& folder) {
    if (folder.isEmpty() || m_watcher->directories().contains(folder))
        return;
    m_watcher->addPath(folder);
    addedFilesChanged(folder); // what the folder holds as the watch begins
}

bool ReplacedFiles::addedFilesChanged(const QString& folder) {
    const QStringList now = QDir(folder).entryList(
        {QStringLiteral("*") + QLatin1String(data::kAddedSuffix)}, QDir::Files, QDir::Name);
    const bool changed = m_addedFiles && *m_addedFiles != now;
    m_addedFiles = now;
    return changed;
}

void ReplacedFiles::checkSoon() {
    m_gather->start();
}

} // namespace tolvane::shell
