#include "support/TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tolvane::test {

static QString envOr(const char* name, const QString& fallback) {
    const QString v = qEnvironmentVariable(name);
    return v.isEmpty() ? fallback : v;
}

QString sourceDir() { return envOr("TOLVANE_SOURCE_DIR", QDir::currentPath()); }
QString appDir() { return envOr("TOLVANE_APP_DIR", QDir::currentPath() + QStringLiteral("/app")); }
QString binDir() { return envOr("TOLVANE_BIN_DIR", QDir::currentPath() + QStringLiteral("/bin")); }

std::optional<QString> sharedDir() {
    const QString dir = envOr("TOLVANE_SHARED_DIR", sourceDir() + QStringLiteral("/../shared"));
    if (!QFileInfo(dir).isDir())
        return std::nullopt;
    return QDir(dir).canonicalPath();
}

std::optional<QString> sharedPath(const QString& relative) {
    auto dir = sharedDir();
    if (!dir)
        return std::nullopt;
    const QString p = *dir + QLatin1Char('/') + relative;
    if (!QFileInfo::exists(p))
        return std::nullopt;
    return p;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + path.toStdString());
    f.write(bytes);
}

QByteArray sha256(const QString& path) {
    return QCryptographicHash::hash(readFile(path), QCryptographicHash::Sha256).toHex();
}

} // namespace tolvane::test
