#include "platform/AppFolder.h"

#include <QCoreApplication>

namespace tolvane::platform {

namespace {
QString& overrideFolder() {
    static QString folder;
    return folder;
}
} // namespace

QString applicationFolder() {
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    return QCoreApplication::applicationDirPath();
}

void setApplicationFolder(const QString& folder) { overrideFolder() = folder; }

} // namespace tolvane::platform
