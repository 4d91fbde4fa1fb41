#pragma once
// The program's pictures, compiled into the executable from resources/.

#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace tolvane::shell {

QIcon programIcon();        // the window icon: 16, 32 and 48 pixel images
QPixmap workspacePicture(); // 457 x 291, drawn in the main window's client area
QPixmap bannerPicture();    // 300 x 31, the About dialog's link to the maker's page
QCursor linkPointer();      // 32 x 32 hand shown over the About dialog's links

} // namespace tolvane::shell
