#include "platform/AccessKeyCues.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace tolvane::platform {

AccessKeyCues::AccessKeyCues(QObject* parent, QWidget* scope, std::function<void()> redraw,
                             std::function<bool()> inMenus)
    : QObject(parent), m_scope(scope), m_redraw(std::move(redraw)), m_inMenus(std::move(inMenus)) {
    qApp->installEventFilter(this);
}

AccessKeyCues::~AccessKeyCues() {
    qApp->removeEventFilter(this);
}

bool AccessKeyCues::shown() const {
    return m_altHeld || (m_byKeyboard && m_inMenus && m_inMenus());
}

bool AccessKeyCues::inScope(QObject* watched) const {
    if (!m_scope)
        return true;
    const auto* widget = qobject_cast<QWidget*>(watched);
    return widget && widget->window() == m_scope;
}

bool AccessKeyCues::eventFilter(QObject* watched, QEvent* event) {
    const auto redraw = [this] {
        // Now, and once the widgets have taken the keys this event brings.
        m_redraw();
        QTimer::singleShot(0, this, [this] { m_redraw(); });
    };
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool press = event->type() == QEvent::KeyPress;
        if (inScope(watched) &&
            (key->key() == Qt::Key_Alt || (press && m_inMenus && key->key() == Qt::Key_F10))) {
            const bool altHeld = press && key->key() == Qt::Key_Alt;
            const bool changed = altHeld != m_altHeld || (press && !m_byKeyboard);
            m_altHeld = altHeld;
            m_byKeyboard = m_byKeyboard || press;
            if (changed || m_inMenus)
                redraw();
        }
        break;
    }
    // The mouse ends the keyboard's turn. When a window comes or goes, the release of Alt may
    // have gone to another window or program (Alt+F4, Alt+Tab).
    case QEvent::MouseButtonPress:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::ApplicationDeactivate:
        if (m_byKeyboard || m_altHeld) {
            m_byKeyboard = m_altHeld = false;
            redraw();
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

AccessKeyStyle::AccessKeyStyle(const AccessKeyCues& cues) : m_cues(cues) {}

int AccessKeyStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                              QStyleHintReturn* returnData) const {
    if (hint == QStyle::SH_UnderlineShortcut)
        return m_cues.shown() ? 1 : 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void drawAccessKeysWhileAltHeld(QWidget& window) {
    auto* cues = new AccessKeyCues(&window, &window, [w = QPointer<QWidget>(&window)] {
        if (!w)
            return;
        w->update();
        for (QWidget* child : w->findChildren<QWidget*>())
            child->update();
    });
    auto* style = new AccessKeyStyle(*cues);
    style->setParent(cues); // goes before the cues it asks
    window.setStyle(style);
    for (QWidget* child : window.findChildren<QWidget*>())
        child->setStyle(style);
}

} // namespace tolvane::platform
