#pragma once
// Notices a dictionary file replaced under its name while its window is open: a new file
// renamed over the old one, as tolvane-import writes every file (and so Get Dictionaries'
// updates and "Use as"). The open window would go on reading the old file, which is gone from
// the folder. Another program's changes to the same file are noticed by the engine itself;
// a replacement is a new file (a new inode), which no look into the old one can see.
//
// A window's file is known by its device and inode, taken just before the window opens it:
// a file replaced while it opens then counts as replaced, and is opened once more rather than
// kept. The folder is watched, and its changes, gathered over a short while, are reported by
// checkDue; so are the moments the main window is activated (checkSoon). Comparing is one
// stat() of the file.

#include "data/DictionaryConfig.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <utility>

class QFileSystemWatcher;
class QTimer;

namespace tolvane::shell {

class ReplacedFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int kGatherMs = 200;

    explicit ReplacedFiles(QObject* parent = nullptr);

    // The window of `config` is about to open its file in `folder` (which is watched from now).
    void opening(const data::DictionaryConfig& config, const QString& folder);
    // Whether the file under the name of `config` is no longer the one its window opened. A
    // file gone, or one never opened, is not replaced.
    bool isReplaced(const data::DictionaryConfig& config, const QString& folder) const;
    // Watches `folder` for files coming and going.
    void watch(const QString& folder);
    // Whether the added dictionaries' files (*.sqlite) in `folder` are other ones than at the
    // last call: one came or went, and the list of added dictionaries is to be read again. The
    // first call only takes note.
    bool addedFilesChanged(const QString& folder);
    // Asks for a look, after a short while, gathering several asks into one checkDue.
    void checkSoon();

Q_SIGNALS:
    // Time to compare the open windows' files with the folder.
    void checkDue();

private:
    using Identity = std::pair<quint64, quint64>; // device, inode; {0, 0}: no file
    static Identity identityOf(const QString& path);

    std::map<QString, Identity> m_opened; // by window name
    std::optional<QStringList> m_addedFiles;
    QFileSystemWatcher* m_watcher;
    QTimer* m_gather;
};

} // namespace tolvane::shell
