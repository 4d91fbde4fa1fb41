// Zoom of the entry boxes: Ctrl+plus, Ctrl+minus, Ctrl+0 anywhere in the window, and
// Ctrl+wheel over the definition or scripture box, zoom both boxes together. The choice is
// kept for the next start.

#include "dictwindow/DictionaryWindow.h"

#include "dictwindow/EntryZoom.h"
#include "platform/DesignFont.h"
#include "richtext/RichTextBox.h"

#include <QPlainTextEdit>
#include <QShortcut>
#include <QWheelEvent>
#include <QWidget>
#include <functional>

namespace tolvane::dictwindow {

namespace {

constexpr double kDefinitionPointSize = 9.75;

// Ctrl+wheel over an entry box zooms both boxes; the box's own wheel zoom would zoom it alone.
class CtrlWheel final : public QObject {
public:
    CtrlWheel(QWidget* viewport, std::function<void(int)> zoom)
        : QObject(viewport), m_zoom(std::move(zoom)) {
        viewport->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Wheel) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            if (wheel->modifiers().testFlag(Qt::ControlModifier)) {
                const int delta = wheel->angleDelta().y();
                if (delta != 0)
                    m_zoom(delta > 0 ? 1 : -1);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(int)> m_zoom;
};

} // namespace

void DictionaryWindow::connectZoom() {
    QWidget* form = m_controls.form;
    const auto shortcut = [this, form](const QKeySequence& keys, int steps) {
        auto* s = new QShortcut(keys, form);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, [this, steps] { zoomEntry(steps); });
    };
    shortcut(QKeySequence::ZoomIn, 1);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Equal), 1); // the plus key without Shift
    shortcut(QKeySequence::ZoomOut, -1);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_0), 0);
    const auto zoom = [this](int steps) { zoomEntry(steps); };
    new CtrlWheel(m_controls.txtSurname->viewport(), zoom);
    if (m_controls.rtb1)
        new CtrlWheel(m_controls.rtb1->viewport(), zoom);
    showEntryZoom(entryzoom::stored());
}

void DictionaryWindow::zoomEntry(int steps) {
    const int percent =
        steps == 0 ? entryzoom::kDesigned : entryzoom::stepped(m_zoomPercent, steps);
    if (percent == m_zoomPercent)
        return;
    showEntryZoom(percent);
    entryzoom::store(percent);
}

void DictionaryWindow::showEntryZoom(int percent) {
    m_zoomPercent = percent;
    m_controls.txtSurname->setFont(
        platform::designFont(kDefinitionPointSize * percent / entryzoom::kDesigned));
    if (m_controls.rtb1)
        m_controls.rtb1->setZoomPercent(percent);
}

} // namespace tolvane::dictwindow
