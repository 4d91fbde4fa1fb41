#include "shell/Workspace.h"

#include "shell/Images.h"

#include <QEvent>
#include <QLabel>
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

    m_welcome = new QLabel(
        QStringLiteral("To begin, choose a dictionary from the Dictionaries menu.\n"
                       "Dictionaries \u25B8 Get Dictionaries... adds more of them.\n"
                       "Find \u25B8 Find in Entries... (Ctrl+F) searches inside the entries."),
        viewport());
    m_welcome->setObjectName(QStringLiteral("lblWelcome"));
    m_welcome->setWordWrap(true);
    m_welcome->setMargin(6);
    // Readable over the picture and the workspace colour alike.
    m_welcome->setAutoFillBackground(true);
    m_welcome->setBackgroundRole(QPalette::ToolTipBase);
    m_welcome->setForegroundRole(QPalette::ToolTipText);
    m_welcome->setFrameShape(QFrame::StyledPanel);
    connect(this, &QMdiArea::subWindowActivated, this, &Workspace::updateWelcomeNote);
    updateWelcomeNote();
}

void Workspace::updateWelcomeNote() {
    const int margin = 8;
    const int width = viewport()->width() - 2 * margin;
    m_welcome->setGeometry(margin, margin, width, m_welcome->heightForWidth(width));
    m_welcome->setVisible(subWindowList().isEmpty());
}

void Workspace::resizeEvent(QResizeEvent* event) {
    QMdiArea::resizeEvent(event);
    updateWelcomeNote();
}

// A dictionary window comes and goes as a child of the viewport; the note follows.
bool Workspace::viewportEvent(QEvent* event) {
    const bool handled = QMdiArea::viewportEvent(event);
    // Looked at once the area has taken the change into its list of windows.
    if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved)
        QMetaObject::invokeMethod(this, &Workspace::updateWelcomeNote, Qt::QueuedConnection);
    return handled;
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
