#include "dictwindow/SearchBox.h"

namespace tolvane::dictwindow {

SearchBox::SearchBox(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("txtSearch"));
}

} // namespace tolvane::dictwindow
