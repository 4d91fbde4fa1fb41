#include "dictwindow/ListProgress.h"

#include <QEvent>
#include <QProgressBar>
#include <QWidget>

namespace tolvane::dictwindow {

namespace {
constexpr int kPollMs = 100;
}

ListProgress::ListProgress(QWidget* list, std::function<int()> percent)
    : QObject(list), m_list(list), m_bar(new QProgressBar(list)), m_percent(std::move(percent)) {
    m_bar->setObjectName(QStringLiteral("prgListPreparing"));
    m_bar->setAccessibleName(QStringLiteral("Preparing the word list"));
    m_bar->setRange(0, 100);
    m_bar->setFormat(QStringLiteral("Preparing the list: %p%"));
    m_bar->hide();
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &ListProgress::update);
    list->installEventFilter(this);
}

// Hidden or not is the bar's own state (isHidden): the window may not be shown yet.
void ListProgress::watch() {
    update();
    if (!m_bar->isHidden())
        m_timer.start();
}

void ListProgress::update() {
    const int percent = m_percent ? m_percent() : -1;
    if (percent < 0) {
        m_timer.stop();
        m_bar->hide();
        return;
    }
    m_bar->setValue(percent);
    if (m_bar->isHidden()) {
        place();
        m_bar->show();
        m_bar->raise();
    }
}

void ListProgress::place() {
    const int height = m_bar->sizeHint().height();
    m_bar->setGeometry(0, std::max(0, m_list->height() - height), m_list->width(), height);
}

bool ListProgress::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::Resize)
        place();
    return QObject::eventFilter(watched, event);
}

} // namespace tolvane::dictwindow
