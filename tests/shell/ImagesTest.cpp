// The program's pictures come out of the executable in the sizes the windows are laid out
// for.

#include "shell/Images.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QImageReader>
#include <gtest/gtest.h>

using namespace tolvane;

TEST(Images, IconHasItsThreeSizes) {
    const QIcon icon = shell::programIcon();
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
}

TEST(Images, PicturesHaveTheirDesignedSizes) {
    const QPixmap workspace = shell::workspacePicture();
    EXPECT_EQ(workspace.size(), QSize(457, 291));
    QImageReader bitmap(QStringLiteral(":/tolvane/workspace.bmp"));
    EXPECT_EQ(bitmap.format(), QByteArray("bmp"));
    EXPECT_EQ(bitmap.read().depth(), 32) << "a 24-bit bitmap reads as RGB32";
    EXPECT_EQ(shell::bannerPicture().size(), QSize(300, 31));
    const QCursor pointer = shell::linkPointer();
    EXPECT_EQ(pointer.pixmap().size(), QSize(32, 32));
    EXPECT_EQ(pointer.hotSpot(), QPoint(13, 1));
    // The pointer is a shape on a transparent ground, not a square.
    const QImage image = pointer.pixmap().toImage();
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(14, 8)), 255);
}
