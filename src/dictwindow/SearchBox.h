#pragma once
// The search box txtSearch: a one-line text box. The search behaviour is attached by the
// dictionary window; this class is where box-specific keyboard and text handling lives.
//
// Keys for the word list (Up, Down, Page Up, Page Down, Enter) are not the box's own: they
// are handed on through listKey() for the window to browse the list with. A letter typed
// with Alt held is a command key, never text.

#include <QLineEdit>

namespace tolvane::dictwindow {

class SearchBox : public QLineEdit {
    Q_OBJECT
public:
    explicit SearchBox(QWidget* parent = nullptr);

Q_SIGNALS:
    void listKey(int key);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace tolvane::dictwindow
