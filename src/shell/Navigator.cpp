#include "shell/Navigator.h"

#include "data/DictionaryConfig.h"
#include "dictwindow/DictionaryWindow.h"
#include "find/FindWindow.h"
#include "platform/ErrorGuard.h"
#include "shell/Forms.h"
#include "shell/MainWindow.h"

#include <QApplication>
#include <QMouseEvent>

namespace tolvane::shell {

Navigator::Navigator(Forms& forms, QObject* parent) : QObject(parent), m_forms(forms) {
    if (qApp)
        qApp->installEventFilter(this);
}

Navigator::~Navigator() {
    if (qApp)
        qApp->removeEventFilter(this);
}

void Navigator::watch(dictwindow::DictionaryWindow& window) {
    const QString name = window.config().windowName;
    connect(&window, &dictwindow::DictionaryWindow::entryShown, this,
            [this, name](const QString& headword, int duplicate) {
                if (!m_moving) {
                    m_history.record({name, headword, duplicate});
                    Q_EMIT historyChanged();
                }
            });
    connect(&window, &dictwindow::DictionaryWindow::wordNotFound, this,
            [this](const QString& note) {
                if (find::FindWindow* findWindow = m_forms.findWindow())
                    findWindow->showNote(note);
            });
}

bool Navigator::openEntry(const data::DictionaryConfig& config, const QString& headword,
                          int duplicate) {
    MainWindow* main = m_forms.mainWindow();
    if (!main)
        return false;
    // A window this opens lists only the headword, not the whole table first.
    dictwindow::DictionaryWindow& window = m_forms.dictionaryWindow(config);
    window.loadNarrowedTo(headword);
    try {
        main->runDictionaryCommand(config);
    } catch (...) {
        window.loadNarrowedTo(QString());
        throw;
    }
    window.loadNarrowedTo(QString()); // the window was open already: nothing was loaded
    if (!m_forms.dictionaryForm(config).isLoaded())
        return false; // it failed to open, and the failure has been reported
    return window.showHeadword(headword, duplicate);
}

void Navigator::moveTo(const std::optional<find::HistoryEntry>& entry) {
    if (!entry)
        return;
    const data::DictionaryConfig* config = data::configByWindowName(entry->windowName);
    if (!config)
        return;
    m_moving = true;
    try {
        openEntry(*config, entry->headword, entry->duplicate);
    } catch (...) {
        m_moving = false;
        throw;
    }
    m_moving = false;
}

void Navigator::restoreHistory(std::vector<find::HistoryEntry> entries, std::size_t current) {
    m_history.assign(std::move(entries), current);
    Q_EMIT historyChanged();
}

void Navigator::back() {
    const auto entry = m_history.back();
    Q_EMIT historyChanged();
    moveTo(entry);
}

void Navigator::forward() {
    const auto entry = m_history.forward();
    Q_EMIT historyChanged();
    moveTo(entry);
}

// The mouse's back and forward buttons, over the main window or the Find window.
bool Navigator::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
    if (button != Qt::BackButton && button != Qt::ForwardButton)
        return QObject::eventFilter(watched, event);
    QWidget* window = static_cast<QWidget*>(watched)->window();
    if (window != m_forms.mainWindow() && window != m_forms.findWindow())
        return QObject::eventFilter(watched, event);
    platform::runGuarded([this, button] { button == Qt::BackButton ? back() : forward(); });
    return true;
}

} // namespace tolvane::shell
