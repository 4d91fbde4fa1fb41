#pragma once
// The hidden file an import builds beside its output (".NAME.import-<pid>-<start>-XXXXXX")
// before renaming it into place. It never outlives the import: it is removed when the import
// fails, when the tool is stopped by SIGINT or SIGTERM, and, when the tool was killed outright,
// by the next run in that folder, which recognises it by the process id and start time in its
// name and leaves alone every file whose process still runs. Files named by earlier versions
// (".NAME.import-XXXXXX", no process in the name) are removed once unchanged for a day.

#include <QString>

namespace tolvane::import {

class ImportTemporary {
public:
    // Removes stale files left beside `output` by dead runs, then creates a new one.
    // `kind` is the word in the name ("import", "convert"). Throws ImportError.
    ImportTemporary(const QString& output, const QString& kind);
    ~ImportTemporary(); // removes the file unless it was put in place
    ImportTemporary(const ImportTemporary&) = delete;
    ImportTemporary& operator=(const ImportTemporary&) = delete;

    const QString& path() const noexcept { return m_path; }
    // The file has been renamed into place: nothing is left to remove.
    void placed();

    // Removes the temporary files beside `output` whose process is gone, and earlier versions'
    // files unchanged for a day; returns how many.
    static int removeStale(const QString& output, const QString& kind);

private:
    QString m_path;
    bool m_placed = false;
};

// Makes a file's contents durable, then (after a rename) the folder entry: every step is
// checked, so an I/O error at the end is reported rather than taken for success. Both throw
// ImportError naming `shownAs`.
void syncFileToDisk(const QString& path, const QString& shownAs);
void syncFolderToDisk(const QString& folder, const QString& shownAs);

} // namespace tolvane::import
