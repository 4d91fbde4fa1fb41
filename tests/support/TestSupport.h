#pragma once
// Helpers every test may use: readable QString output, temporary folders and the location
// of the shared reference material (skip when it is absent).

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray& b, std::ostream* os) { *os << '"' << b.toStdString() << '"'; }
QT_END_NAMESPACE

namespace tolvane::test {

// The shared reference folder (../shared beside the checkout), or nullopt when absent.
std::optional<QString> sharedDir();
// A file or folder under the shared folder, or nullopt when it is absent.
std::optional<QString> sharedPath(const QString& relative);
// The source tree's root.
QString sourceDir();
// The folder the build writes the executable, tools and dictionaries into.
QString appDir();
// The folder of the command-line tools (tolvane-import, ...).
QString binDir();

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray sha256(const QString& path);

} // namespace tolvane::test

// Skips the current test with a clear message when a shared file is missing.
#define TOLVANE_REQUIRE_SHARED(var, relative)                                                    \
    auto var##_opt = ::tolvane::test::sharedPath(relative);                                      \
    if (!var##_opt)                                                                              \
        GTEST_SKIP() << "shared reference material not found: " << QString(relative).toStdString(); \
    const QString var = *var##_opt
