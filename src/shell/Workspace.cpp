#include "shell/Workspace.h"

#include "shell/Images.h"

#include <QPaintEvent>
#include <QPainter>

namespace tolvane::shell {

Workspace::Workspace(QWidget* parent) : QMdiArea(parent), m_picture(workspacePicture()) {
    setObjectName(QStringLiteral("frmMainClientArea"));
    // The system's colour for an application workspace, as the platform's palette gives it.
    setBackground(palette().brush(QPalette::Dark));
    // A main window made smaller than the dictionary window scrolls to the hidden part.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Keyboard focus belongs to the child windows' controls, never to the area itself.
    setFocusPolicy(Qt::NoFocus);
}

QRect Workspace::pictureRect() const {
    QRect r(QPoint(0, 0), m_picture.size());
    r.moveCenter(viewport()->rect().center());
    return r;
}

void Workspace::paintEvent(QPaintEvent* event) {
    QMdiArea::paintEvent(event); // the workspace colour
    if (m_picture.isNull())
        return;
    QPainter painter(viewport());
    painter.setClipRect(event->rect());
    painter.drawPixmap(pictureRect().topLeft(), m_picture);
}

} // namespace tolvane::shell
