#pragma once
// The search box txtSearch: a one-line text box. The search behaviour is attached by the
// dictionary window; this class is where box-specific keyboard and text handling lives.

#include <QLineEdit>

namespace tolvane::dictwindow {

class SearchBox : public QLineEdit {
    Q_OBJECT
public:
    explicit SearchBox(QWidget* parent = nullptr);
};

} // namespace tolvane::dictwindow
