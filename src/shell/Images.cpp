#include "shell/Images.h"

#include <QString>

namespace tolvane::shell {

QIcon windowIcon() { return QIcon(QStringLiteral(":/tolvane/tolvane.ico")); }

QPixmap workspacePicture() { return QPixmap(QStringLiteral(":/tolvane/workspace.bmp")); }

QPixmap bannerPicture() { return QPixmap(QStringLiteral(":/tolvane/banner.gif")); }

QCursor linkPointer() {
    // The hot spot is the tip of the pointing finger.
    return QCursor(QPixmap(QStringLiteral(":/tolvane/pointer.png")), 13, 1);
}

} // namespace tolvane::shell
