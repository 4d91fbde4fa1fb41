#include "shell/LinkLabel.h"

#include <QMouseEvent>

namespace tolvane::shell {

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        Q_EMIT clicked();
}

} // namespace tolvane::shell
