#pragma once
// The bar prgListPreparing: how much of an older file's list is made (the list ordered and its
// index added on another thread, engine/ListIndexBuild.h). It lies over the foot of the word
// list, so the window's layout is the same with or without it, and shows only while the work
// runs; asked every tenth of a second from watch() on until the work is done.

#include <QObject>
#include <QTimer>
#include <functional>

class QProgressBar;
class QWidget;

namespace tolvane::dictwindow {

class ListProgress : public QObject {
    Q_OBJECT
public:
    // `percent` answers 0 to 100 while the work runs, -1 otherwise.
    ListProgress(QWidget* list, std::function<int()> percent);

    void watch();
    QProgressBar* bar() const { return m_bar; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void update();
    void place();

    QWidget* m_list;
    QProgressBar* m_bar;
    std::function<int()> m_percent;
    QTimer m_timer;
};

} // namespace tolvane::dictwindow
