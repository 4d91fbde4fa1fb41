#include "shell/Images.h"

#include <QImage>
#include <QImageReader>
#include <QString>

namespace tolvane::shell {

QIcon programIcon() {
    // Every image of the icon file, read explicitly: an .ico has no signature by which the
    // icon loader would recognise it inside the resources.
    QIcon icon;
    QImageReader reader(QStringLiteral(":/tolvane/tolvane.ico"), "ico");
    for (int i = 0; i < reader.imageCount(); ++i) {
        reader.jumpToImage(i);
        const QImage image = reader.read();
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

QPixmap workspacePicture() {
    return QPixmap(QStringLiteral(":/tolvane/workspace.bmp"));
}

QPixmap bannerPicture() {
    return QPixmap(QStringLiteral(":/tolvane/banner.gif"));
}

QCursor linkPointer() {
    // The hot spot is the tip of the pointing finger.
    return QCursor(QPixmap(QStringLiteral(":/tolvane/pointer.png")), 13, 1);
}

} // namespace tolvane::shell
