// The search box keeps its frame as a picture between paints: it must look as the style draws
// it, and be drawn anew when what it shows changes.

#include "dictwindow/SearchBox.h"

#include <QImage>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace tolvane;

namespace {

// The largest difference of any colour channel between two pictures of one size.
int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest =
                std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return largest;
}

QImage picture(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST(SearchBoxPaint, LooksAsTheStyleDrawsItAfterSizeAndPaletteChanges) {
    dictwindow::SearchBox box;
    QLineEdit plain;
    const auto check = [&](const char* step) {
        SCOPED_TRACE(step);
        const QImage kept = picture(box); // drawn once, then from the picture
        EXPECT_EQ(picture(box), kept);
        ASSERT_EQ(kept.size(), picture(plain).size());
        EXPECT_LE(largestDifference(kept, picture(plain)), 2);
    };
    for (QLineEdit* edit : {static_cast<QLineEdit*>(&box), &plain})
        edit->resize(200, 22);
    check("first paint");
    for (QLineEdit* edit : {static_cast<QLineEdit*>(&box), &plain})
        edit->resize(150, 30);
    check("resized");
    QPalette dark = plain.palette();
    dark.setColor(QPalette::Base, QColor(20, 20, 40));
    for (QLineEdit* edit : {static_cast<QLineEdit*>(&box), &plain})
        edit->setPalette(dark);
    check("dark palette");
    EXPECT_EQ(picture(box).pixelColor(75, 15), QColor(20, 20, 40));
}

} // namespace
