#pragma once
// Small SWORD dictionary modules built by the tests themselves with libsword's imp2ld (Debian
// package libsword-utils), from short texts in any markup, into a library folder laid out as
// libsword wants it (mods.d/NAME.conf, modules/lexdict/...): usable as SWORD_PATH.

#include <QString>
#include <utility>
#include <vector>

namespace tolvane::test {

struct SwordTestModule {
    QString name;                                     // "TestNave"
    QString description;                              // "Test Topical Bible"
    QString markup = QStringLiteral("ThML");          // SourceType: Plain, ThML, GBF, OSIS, TEI
    QString driver = QStringLiteral("RawLD");         // RawLD, RawLD4 or zLD
    std::vector<std::pair<QString, QString>> entries; // key, text in that markup
    QString version = QStringLiteral("1.0");
};

// True when imp2ld is on the PATH.
bool canMakeSwordModules();

// Writes the module into `library`; returns an empty string, or what went wrong.
QString makeSwordModule(const QString& library, const SwordTestModule& module);

#define TOLVANE_REQUIRE_IMP2LD()                                                                   \
    if (!::tolvane::test::canMakeSwordModules())                                                   \
    GTEST_SKIP() << "imp2ld is not installed (Debian package libsword-utils; scripts/setup.sh "    \
                    "installs it)"

} // namespace tolvane::test
