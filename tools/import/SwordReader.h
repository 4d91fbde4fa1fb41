#pragma once
// Reads installed SWORD modules through the helper tolvane-swordread, which runs libsword in
// a process of its own with a time and a memory limit (platform/HelperProcess.h): libsword
// crashes on some damaged modules and loops forever on others, and none of that may reach
// this process. A timeout, a crash, an incomplete or malformed answer all become one
// ImportError naming the module.

#include "import/CsvImport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace tolvane::import {

struct SwordModule {
    QString name;
    QString type; // libsword's type name, e.g. "Lexicons / Dictionaries"
    QString description;
    QString folder; // the library folder it was found in
    qint64 entries = 0;
    QString version, licence;
    qint64 size = 0; // bytes
};

struct SwordEntry {
    QByteArray key;  // as the module gives it (UTF-8)
    QByteArray text; // rendered to plain text by libsword (UTF-8)
};

struct SwordReadOptions {
    // Wall-clock limit for the whole read (the helper's processor time is limited to the
    // same) and the helper's memory limit.
    int timeoutMs = 120'000;
    int memoryLimitMb = 512;
    QString helperPath; // empty: swordReaderPath()
};

struct SwordListing {
    QStringList searched; // the folders libsword looked in
    std::vector<SwordModule> dictionaries;
};

// Takes a dictionary module as the helper reads it: `module` once, before any entry, then
// `entry` for every entry in the module's key order. Either may throw to stop the reading.
struct SwordEntrySink {
    std::function<void(const SwordModule&)> module;
    std::function<void(SwordEntry&&)> entry;
};

// The installed dictionary modules. Throws ImportError when the helper fails.
SwordListing listSwordDictionaries(const SwordReadOptions& options = {});

// Every entry of the dictionary module `name`, handed to `sink` while the helper still reads.
// Throws ImportError naming the module: no such module (with the folders searched), a module
// that is not a dictionary (with its type), a damaged module. It may throw after the sink has
// taken entries: they count only once this returns.
void readSwordDictionary(const QString& name, const SwordReadOptions& options,
                         const SwordEntrySink& sink);

// Where the helper is: $TOLVANE_SWORDREAD if set, else tolvane-swordread beside the running
// program, in the installed helper folder (libexec/tolvane), in $TOLVANE_BIN_DIR, or on the
// PATH. Empty when it is nowhere.
QString swordReaderPath();

} // namespace tolvane::import
