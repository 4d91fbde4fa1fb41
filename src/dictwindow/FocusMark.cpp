#include "dictwindow/FocusMark.h"

#include <QEvent>
#include <QFrame>
#include <QPalette>

namespace tolvane::dictwindow {

namespace {

class FocusMark final : public QObject {
public:
    explicit FocusMark(QFrame* box)
        : QObject(box), m_box(box), m_style(box->frameStyle()), m_width(box->frameWidth()) {
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_box && event->type() == QEvent::FocusIn)
            show(true);
        else if (watched == m_box && event->type() == QEvent::FocusOut)
            show(false);
        return false;
    }

private:
    void show(bool focused) {
        if (focused) {
            m_style = m_box->frameStyle();
            m_width = m_box->frameWidth();
            m_line = m_box->lineWidth();
            m_palette = m_box->palette();
            QPalette p = m_palette;
            p.setColor(QPalette::WindowText, p.color(QPalette::Active, QPalette::Highlight));
            m_box->setPalette(p);
            m_box->setFrameStyle(QFrame::Box | QFrame::Plain);
            m_box->setLineWidth(m_width);
        } else {
            m_box->setPalette(m_palette);
            m_box->setFrameStyle(m_style);
            m_box->setLineWidth(m_line);
        }
    }

    QFrame* m_box;
    int m_style;
    int m_width;
    int m_line = 1;
    QPalette m_palette;
};

} // namespace

void markFocus(QFrame* box) {
    new FocusMark(box);
}

} // namespace tolvane::dictwindow
