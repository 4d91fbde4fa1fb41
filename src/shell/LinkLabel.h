#pragma once
// A label that acts as a link: a click with the left button (released over the label) runs
// its handler. Everything else about it is a plain label.

#include <QLabel>

namespace tolvane::shell {

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

} // namespace tolvane::shell
