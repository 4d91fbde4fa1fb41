#include "shell/FormInstance.h"

#include "platform/ErrorGuard.h"
#include "platform/Twips.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

namespace tolvane::shell {

FormInstance::FormInstance(QString name, FormHandlers handlers, QObject* parent)
    : QObject(parent), m_name(std::move(name)), m_handlers(std::move(handlers)) {
    setObjectName(m_name);
}

FormInstance::~FormInstance() {
    if (m_window) {
        QWidget* w = m_window;
        w->removeEventFilter(this);
        m_window = nullptr;
        w->blockSignals(true);
        delete w;
    }
}

void FormInstance::Show() {
    if (!isLoaded())
        load();
    QWidget* w = m_window;
    if (m_handlers.present) {
        m_handlers.present(w);
    } else {
        w->show();
        w->raise();
        w->activateWindow();
    }
    // Presenting usually activates the window, which has run Form_Activate already; where
    // the platform activates nothing (no window manager, a hidden parent) it runs here.
    if (isLoaded() && m_handlers.activate && !m_active)
        activated();
}

void FormInstance::load() {
    QWidget* w = m_handlers.create();
    m_window = w;
    w->installEventFilter(this);
    // A window can also go with its parent (a child window when the main window closes).
    connect(w, &QObject::destroyed, this, [this, w] {
        if (m_window == w) {
            m_window = nullptr;
            detach();
        }
    });
    try {
        if (m_handlers.load)
            m_handlers.load();
    } catch (...) {
        // Half-loaded controls must not linger as an open window.
        if (m_window == w)
            dispose(detach());
        throw;
    }
    if (m_window == w)
        Q_EMIT loaded(w);
}

void FormInstance::Unload() {
    if (!isLoaded())
        return;
    if (m_handlers.unloading)
        m_handlers.unloading();
    if (QWidget* w = detach())
        dispose(w);
}

QWidget* FormInstance::detach() {
    QWidget* w = m_window;
    if (w) {
        w->removeEventFilter(this);
        disconnect(w, &QObject::destroyed, this, nullptr);
    }
    m_window = nullptr;
    m_active = false;
    if (m_handlers.unloaded)
        m_handlers.unloaded();
    return w;
}

void FormInstance::dispose(QWidget* window) {
    // A top-level window on screen goes as if the user had closed it, so that the program
    // ends when it was the last one (hiding alone would leave the program running with no
    // window). Our windows accept every close.
    if (window->isWindow() && window->isVisible())
        window->close();
    window->hide();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window); sub && sub->mdiArea())
        sub->mdiArea()->removeSubWindow(sub);
    // The old controls must report nothing once the window is unloaded: a later load of the
    // same kind builds new ones before the deferred deletion of these. (destroyed() is still
    // emitted; the kind's unloaded handler cuts its own connections to the old controls.)
    window->blockSignals(true);
    const auto children = window->findChildren<QObject*>();
    for (QObject* child : children)
        child->blockSignals(true);
    window->deleteLater();
}

void FormInstance::setTop(int twips) {
    if (m_window)
        m_window->move(m_window->x(), platform::twipsToPixels(twips));
}

void FormInstance::setLeft(int twips) {
    if (m_window)
        m_window->move(platform::twipsToPixels(twips), m_window->y());
}

void FormInstance::activated() {
    if (m_active || !m_window)
        return;
    m_active = true;
    if (m_handlers.activate)
        platform::runGuarded(m_handlers.activate);
}

bool FormInstance::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Close) {
        // The window handles the close itself (hides, and deletes itself on close); here it
        // only stops being loaded, after its unloading handler.
        if (m_handlers.unloading)
            m_handlers.unloading();
        if (QWidget* w = detach())
            w->setAttribute(Qt::WA_DeleteOnClose);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tolvane::shell
