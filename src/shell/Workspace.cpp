#include "shell/Workspace.h"

#include "shell/Images.h"

#include <QMdiSubWindow>
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

void Workspace::setGrowth(const QSize& growth) {
    const QSize g = growth.expandedTo(QSize(0, 0));
    if (g == m_growth)
        return;
    m_growth = g;
    const auto subs = subWindowList();
    for (QMdiSubWindow* sub : subs)
        fit(sub);
}

void Workspace::fit(QMdiSubWindow* sub) const {
    if (QWidget* form = sub->widget())
        sub->resize(form->minimumSize() + m_growth);
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
