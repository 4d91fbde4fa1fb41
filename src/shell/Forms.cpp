#include "shell/Forms.h"

#include "dictwindow/DictionaryWindow.h"
#include "find/FindService.h"
#include "find/FindWindow.h"
#include "getdictionaries/GetDictionariesWindow.h"
#include "platform/AppFolder.h"
#include "platform/ErrorGuard.h"
#include "scripture/ScriptureWindow.h"
#include "scripture/VerseLookups.h"
#include "shell/AboutDialog.h"
#include "shell/MainWindow.h"
#include "shell/Navigator.h"
#include "shell/ReplacedFiles.h"
#include "shell/WindowPlacement.h"
#include "shell/Workspace.h"

#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QScreen>
#include <QWindow>

namespace tolvane::shell {

Forms::Forms(QObject* parent) : QObject(parent), m_replacedFiles(new ReplacedFiles(this)) {
    connect(m_replacedFiles, &ReplacedFiles::checkDue, this, &Forms::checkFolder);
    if (qGuiApp)
        connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &Forms::focusWindowChanged);
}

Forms::~Forms() {
    // Tearing windows down activates and deactivates others; nothing is to run for that.
    if (MainWindow* main = mainWindow())
        disconnect(main->workspace(), nullptr, this, nullptr);
    if (qGuiApp)
        disconnect(qGuiApp, nullptr, this, nullptr);
    // Child windows first (they live inside the main window), then the top-level ones; the
    // dictionary objects last, as their windows' handlers point at them.
    for (auto& [name, d] : m_dictionaries)
        d.form.reset();
    delete m_scriptureWindow.data(); // it reads through m_verses
    m_frmMain.reset();
    m_dialog.reset();
    m_frmFind.reset();
    m_frmGetDictionaries.reset();
    m_findService.reset();
    m_dictionaries.clear();
    m_navigator.reset();
}

FormInstance& Forms::frmMain() {
    if (!m_frmMain) {
        FormHandlers h;
        h.create = [this]() -> QWidget* {
            auto* main = new MainWindow(*this);
            connect(main->workspace(), &QMdiArea::subWindowActivated, this,
                    &Forms::subWindowActivated);
            return main;
        };
        h.load = [this] {
            mainWindow()->MDIForm_Load();
            m_replacedFiles->watch(platform::applicationFolder());
        };
        h.unloading = [this] { mainWindowClosing(); };
        m_frmMain = std::make_unique<FormInstance>(QStringLiteral("frmMain"), std::move(h));
    }
    return *m_frmMain;
}

FormInstance& Forms::Dialog() {
    if (!m_dialog) {
        FormHandlers h;
        h.create = [this]() -> QWidget* {
            auto* dialog = new AboutDialog(*this);
            // Opens over the main window when there is one, else in the middle of the screen.
            QRect over;
            if (MainWindow* main = mainWindow(); main && main->isVisible())
                over = main->frameGeometry();
            else if (QScreen* screen = QGuiApplication::primaryScreen())
                over = screen->availableGeometry();
            if (over.isValid()) {
                QRect r(QPoint(0, 0), dialog->size());
                r.moveCenter(over.center());
                dialog->move(r.topLeft());
            }
            return dialog;
        };
        m_dialog = std::make_unique<FormInstance>(QStringLiteral("Dialog"), std::move(h));
    }
    return *m_dialog;
}

// The Find window: beside the main window where the screen has room, else as far aside as
// the screen allows, wholly on the screen that holds the main window.
FormInstance& Forms::frmFind() {
    if (!m_frmFind) {
        FormHandlers h;
        h.create = [this]() -> QWidget* {
            if (!m_findService)
                m_findService = std::make_unique<find::FindService>();
            auto* window = new find::FindWindow(
                *m_findService, [this] { return openDictionary(); },
                [] { return platform::applicationFolder(); });
            window->setAttribute(Qt::WA_DeleteOnClose);
            connect(
                window, &find::FindWindow::resultOpened, this,
                [this, window](const find::FoundEntry& entry) {
                    platform::runGuarded([&] {
                        if (navigator().openEntry(*entry.dictionary, entry.headword,
                                                  entry.duplicate)) {
                            dictionaryWindow(*entry.dictionary).markMatches(window->shownMatch());
                            showEntryBesideFind(*window);
                        } else if (findWindow() == window) {
                            window->showNote(
                                QStringLiteral("\"%1\" could not be shown.").arg(entry.headword));
                        }
                    });
                });
            placeBesideMainWindow(*window);
            return window;
        };
        m_frmFind = std::make_unique<FormInstance>(QStringLiteral("frmFind"), std::move(h));
    }
    return *m_frmFind;
}

// The entry in sight. Find keeps the keyboard while it can still be seen beside the main
// window; a main window that now covers it (maximized, or simply larger) takes the keyboard.
void Forms::showEntryBesideFind(QWidget& find) {
    MainWindow* main = mainWindow();
    if (!main)
        return;
    main->raise();
    const bool covered = main->isMaximized() || main->isFullScreen() ||
                         main->frameGeometry().contains(find.frameGeometry());
    if (covered)
        main->activateWindow();
}

// Beside the main window, wholly on its screen. Before it is shown the window has no frame
// yet: it gets one like the main window's, from the same window manager. Its place is given as
// the place of its inside (window managers put a window not yet shown by its inside), so the
// title bar lands on the screen too.
void Forms::placeBesideMainWindow(QWidget& window) {
    MainWindow* main = mainWindow();
    if (!main || !main->isVisible())
        return;
    const QRect frame = main->frameGeometry();
    const QRect inside = main->geometry();
    QMargins decoration(inside.left() - frame.left(), inside.top() - frame.top(),
                        frame.right() - inside.right(), frame.bottom() - inside.bottom());
    // A maximized main window is drawn with less of a frame than a window of normal size
    // gets: allow for at least a title bar and borders.
    if (main->isMaximized() || main->isFullScreen())
        decoration = decoration | QMargins(4, 30, 4, 4);
    // Its layout may widen it to its minimum size when it is shown.
    const QSize inner = window.size().expandedTo(window.minimumSizeHint());
    const QSize outer = inner + QSize(decoration.left() + decoration.right(),
                                      decoration.top() + decoration.bottom());
    const QRect screen = main->screen() ? main->screen()->availableGeometry() : QRect();
    const QPoint corner = besideWindow(frame, outer, screen, 8).topLeft();
    window.setGeometry(QRect(corner + QPoint(decoration.left(), decoration.top()), inner));
}

void Forms::mainWindowClosing() {
    for (const auto* config : loadedDictionaries())
        dictionaryForm(*config).Unload();
    if (m_frmFind)
        m_frmFind->Unload();
    if (m_frmGetDictionaries)
        m_frmGetDictionaries->Unload();
    if (m_scriptureWindow)
        m_scriptureWindow->close();
}

FormInstance& Forms::frmGetDictionaries() {
    if (!m_frmGetDictionaries) {
        FormHandlers h;
        h.create = [this]() -> QWidget* {
            auto* window = new getdictionaries::GetDictionariesWindow(
                [] { return platform::applicationFolder(); },
                [this](const data::DictionaryConfig& config) { forgetDictionary(config); });
            window->setAttribute(Qt::WA_DeleteOnClose);
            placeBesideMainWindow(*window);
            connect(window, &getdictionaries::GetDictionariesWindow::dictionariesChanged, this,
                    [this] {
                        if (MainWindow* main = mainWindow())
                            main->refreshDictionaryMenu();
                        // An update, or "Use as", may have replaced the open dictionary's file.
                        if (const data::DictionaryConfig* open = openDictionary())
                            platform::runGuarded([this, open] { reopenIfReplaced(*open); });
                    });
            return window;
        };
        h.load = [this] { getDictionariesWindow()->Form_Load(); };
        m_frmGetDictionaries =
            std::make_unique<FormInstance>(QStringLiteral("frmGetDictionaries"), std::move(h));
    }
    return *m_frmGetDictionaries;
}

getdictionaries::GetDictionariesWindow* Forms::getDictionariesWindow() {
    return m_frmGetDictionaries ? qobject_cast<getdictionaries::GetDictionariesWindow*>(
                                      m_frmGetDictionaries->widget())
                                : nullptr;
}

void Forms::forgetDictionary(const data::DictionaryConfig& config) {
    auto it = m_dictionaries.find(config.windowName);
    if (it == m_dictionaries.end())
        return;
    if (it->second.form->isLoaded()) {
        it->second.form->Unload();
        if (MainWindow* main = mainWindow())
            main->setWindowTitle(QStringLiteral("Tolvane"));
    }
    // The window object holds the file open (its ws, db, rs): it goes too, and a later
    // dictionary of the same name starts afresh.
    it->second.form.reset();
    m_dictionaries.erase(it);
}

find::FindWindow* Forms::findWindow() {
    return m_frmFind ? qobject_cast<find::FindWindow*>(m_frmFind->widget()) : nullptr;
}

const data::DictionaryConfig* Forms::openDictionary() {
    const auto loaded = loadedDictionaries();
    return loaded.empty() ? nullptr : loaded.front();
}

std::vector<const data::DictionaryConfig*> Forms::loadedDictionaries() {
    std::vector<const data::DictionaryConfig*> loaded;
    for (const auto* config : data::allConfigs())
        if (auto it = m_dictionaries.find(config->windowName);
            it != m_dictionaries.end() && it->second.form->isLoaded())
            loaded.push_back(config);
    for (auto& [name, d] : m_dictionaries)
        if (d.window->config().added && d.form->isLoaded())
            loaded.push_back(&d.window->config());
    return loaded;
}

Navigator& Forms::navigator() {
    if (!m_navigator)
        m_navigator = std::make_unique<Navigator>(*this);
    return *m_navigator;
}

FormInstance& Forms::Form1() {
    return dictionaryForm(data::kingJamesConfig());
}
FormInstance& Forms::frmEastons() {
    return dictionaryForm(data::eastonsConfig());
}
FormInstance& Forms::frmHitchcock() {
    return dictionaryForm(data::hitchcockConfig());
}

FormInstance& Forms::dictionaryForm(const data::DictionaryConfig& config) {
    return *dictionary(config).form;
}

dictwindow::DictionaryWindow& Forms::dictionaryWindow(const data::DictionaryConfig& config) {
    return *dictionary(config).window;
}

Forms::Dictionary& Forms::dictionary(const data::DictionaryConfig& config) {
    auto it = m_dictionaries.find(config.windowName);
    if (it != m_dictionaries.end())
        return it->second;

    Dictionary d;
    d.window = std::make_unique<dictwindow::DictionaryWindow>(config);
    dictwindow::DictionaryWindow* dw = d.window.get();
    navigator().watch(*dw);
    connect(dw, &dictwindow::DictionaryWindow::matchMarksChanged, this, [this] {
        if (MainWindow* main = mainWindow())
            main->updateCommands();
    });
    connectScripture(*dw);

    FormHandlers h;
    h.create = [this, dw]() -> QWidget* {
        // A child window needs its parent: showing one loads the main window first.
        Workspace* workspace = loadedMainWindow().workspace();
        auto* sub = new QMdiSubWindow;
        sub->setObjectName(dw->config().windowName + QStringLiteral("Frame"));
        sub->setAttribute(Qt::WA_DeleteOnClose);
        QWidget* form = dw->createControls();
        sub->setWidget(form);
        workspace->addSubWindow(sub, Qt::FramelessWindowHint);
        // Without a title bar there is no system menu either, nor its keyboard shortcuts
        // (close, move, resize): the window is closed only by the main window's commands.
        sub->setSystemMenu(nullptr);
        sub->setWindowTitle(form->windowTitle());
        workspace->fit(sub);
        return sub;
    };
    h.load = [this, dw] {
        m_replacedFiles->opening(dw->config(), platform::applicationFolder());
        dw->Form_Load();
    };
    h.present = [](QWidget* w) {
        auto* sub = static_cast<QMdiSubWindow*>(w);
        sub->show();
        sub->raise();
        if (QMdiArea* area = sub->mdiArea())
            area->setActiveSubWindow(sub);
    };
    h.activate = [dw] { dw->Form_Activate(); };
    h.unloaded = [dw] {
        // The old controls may outlive this moment briefly (their deletion is deferred);
        // they must not reach the window's handlers any more, nor clear the controls of a
        // later load when they finally go.
        if (QWidget* form = dw->controls().form) {
            QObject::disconnect(form, nullptr, dw, nullptr);
            const auto children = form->findChildren<QObject*>();
            for (QObject* child : children)
                QObject::disconnect(child, nullptr, dw, nullptr);
        }
        dw->controlsDestroyed();
    };
    d.form = std::make_unique<FormInstance>(config.windowName, std::move(h));
    return m_dictionaries.emplace(config.windowName, std::move(d)).first->second;
}

MainWindow* Forms::mainWindow() {
    return m_frmMain ? qobject_cast<MainWindow*>(m_frmMain->widget()) : nullptr;
}

AboutDialog* Forms::aboutDialog() {
    return m_dialog ? qobject_cast<AboutDialog*>(m_dialog->widget()) : nullptr;
}

MainWindow& Forms::loadedMainWindow() {
    if (!mainWindow())
        frmMain().Show();
    return *mainWindow();
}

// The program's active window moves between its windows: the main window (with its active
// child window) and the About dialog. Message boxes, menus and other programs taking the
// focus change nothing, so that coming back from them does not activate the child again.
void Forms::focusWindowChanged(QWindow* window) {
    if (!window)
        return;
    if (AboutDialog* about = aboutDialog(); about && window == about->windowHandle()) {
        subWindowActivated(nullptr);
        return;
    }
    if (MainWindow* main = mainWindow(); main && window == main->windowHandle()) {
        if (QMdiSubWindow* sub = main->workspace()->activeSubWindow())
            subWindowActivated(sub);
        // Back from another program, which may have replaced the open dictionary's file.
        m_replacedFiles->checkSoon();
    }
}

void Forms::subWindowActivated(QMdiSubWindow* sub) {
    // Every other child window is inactive before the newly active one's Form_Activate runs.
    for (auto& [name, d] : m_dictionaries)
        if (d.form && (!sub || d.form->widget() != sub))
            d.form->deactivated();
    for (auto& [name, d] : m_dictionaries)
        if (d.form && sub && d.form->widget() == sub)
            d.form->activated();
}

} // namespace tolvane::shell
