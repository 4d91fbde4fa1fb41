#pragma once
// SWORD modules for the tests, through libsword in this process: whether the Debian modules
// are installed, every entry as libsword itself renders it (the independent side of the
// conversion tests), and copies of a module's library to damage.

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace tolvane::test {

// Where the Debian packages sword-dict-* install their modules.
inline const char* const kDebianSwordFolder = "/usr/share/sword";

// True when the module is installed in kDebianSwordFolder and the reading helper is built.
bool debianSwordModuleReady(const QString& module);

#define TOLVANE_REQUIRE_SWORD_MODULE(module)                                                       \
    if (!::tolvane::test::debianSwordModuleReady(module))                                          \
    GTEST_SKIP() << "SWORD module " << QString(module).toStdString() << " is not installed in "    \
                 << ::tolvane::test::kDebianSwordFolder                                            \
                 << " (Debian packages sword-dict-naves, sword-dict-strongs-greek, "               \
                    "sword-dict-strongs-hebrew; scripts/setup.sh installs them)"

struct ReferenceEntry {
    QString key;
    QString text; // libsword's plain rendering, untouched
};

// Every entry of an installed Debian module in the module's order, read and rendered by
// libsword directly. A module whose configuration names no encoding is read through a copy of
// its configuration that says UTF-8, which is what its text is.
std::vector<ReferenceEntry> libswordEntries(const QString& module);

// Copies the configuration and data files of an installed Debian module into `library` (a
// folder for SWORD_PATH) and returns the folder of the copied data files.
QString copyModuleLibrary(const QString& module, const QString& library);

} // namespace tolvane::test
