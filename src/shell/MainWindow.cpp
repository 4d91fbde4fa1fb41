#include "shell/MainWindow.h"

#include "data/AddedDictionaries.h"
#include "data/DictionaryConfig.h"
#include "data/FileProblems.h"
#include "dictwindow/DictionaryWindow.h"
#include "find/FindWindow.h"
#include "moredictionaries/MoreDictionariesWindow.h"
#include "platform/AppFolder.h"
#include "platform/ErrorGuard.h"
#include "platform/ProgramStart.h"
#include "platform/Twips.h"
#include "shell/DictionaryMenu.h"
#include "shell/Forms.h"
#include "shell/Images.h"
#include "shell/MenuKeys.h"
#include "shell/Navigator.h"
#include "shell/UnusableFilesMenu.h"
#include "shell/Workspace.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

namespace tolvane::shell {

MainWindow::MainWindow(Forms& forms, QWidget* parent)
    : QMainWindow(parent), m_forms(forms), m_workspace(new Workspace(this)) {
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Tolvane"));
    setWindowIcon(programIcon());
    setCentralWidget(m_workspace);
    createMenus();
    enableMenuKeys(*this);
    connect(&m_forms.navigator(), &Navigator::historyChanged, this, &MainWindow::updateCommands);
    updateCommands();
}

void MainWindow::createMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    // Every menu and item has an access key ('&'), drawn only while Alt is held (MenuKeys.h);
    // the captions are drawn exactly as written.
    auto* dictionaries = addMenu("mnuDictionaries", QStringLiteral("&Dictionaries"));
    menuItem(dictionaries, "mnuDictionariesKJV", QStringLiteral("&KJV Archaic Words"),
             &MainWindow::mnuDictionariesKJV_Click);
    menuItem(dictionaries, "mnuDictioanariesHitchcock", QStringLiteral("&Hitchcocks Bible Names"),
             &MainWindow::mnuDictioanariesHitchcock_Click);
    menuItem(dictionaries, "mnuDictionariesEastons", QStringLiteral("&Easton's Bible Dictionary"),
             &MainWindow::mnuDictionariesEastons_Click);
    // Below the three: the added dictionaries, then the window that gets more.
    m_dictionaries = dictionaries;
    m_addedFrom = dictionaries->addSeparator();
    m_addedFrom->setObjectName(QStringLiteral("mnuDictionariesSeparator"));
    m_getDictionaries =
        menuItem(dictionaries, "mnuDictionariesGet", QStringLiteral("&Get Dictionaries..."),
                 &MainWindow::mnuDictionariesGet_Click);
    // The Dictionaries menu serves as the program's File menu (it ends with Exit): the
    // entry in view on paper, in a file or on the clipboard, and the whole dictionary as CSV.
    dictionaries->addSeparator()->setObjectName(QStringLiteral("mnuDictionariesOutputBar"));
    shortcut(menuItem(dictionaries, "mnuDictionariesPrint", QStringLiteral("&Print Entry..."),
                      &MainWindow::mnuDictionariesPrint_Click),
             QKeySequence(Qt::CTRL | Qt::Key_P));
    menuItem(dictionaries, "mnuDictionariesPdf", QStringLiteral("Save Entry as P&DF..."),
             &MainWindow::mnuDictionariesPdf_Click);
    shortcut(menuItem(dictionaries, "mnuDictionariesCopy", QStringLiteral("&Copy Entry"),
                      &MainWindow::mnuDictionariesCopy_Click),
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    menuItem(dictionaries, "mnuDictionariesExport", QStringLiteral("Export Dictionary as CS&V..."),
             &MainWindow::mnuDictionariesExport_Click);
    dictionaries->addSeparator()->setObjectName(QStringLiteral("mnuDictionariesExitBar"));
    shortcut(menuItem(dictionaries, "mnuDictionariesExit", QStringLiteral("E&xit"),
                      &MainWindow::mnuDictionariesExit_Click),
             QKeySequence(Qt::CTRL | Qt::Key_Q));
    refreshDictionaryMenu();

    // About is a command on the menu bar itself, without a submenu.
    menuItem(nullptr, "mnuAbout", QStringLiteral("&About"), &MainWindow::mnuAbout_Click);

    auto* website = addMenu("mnuWebsite", QStringLiteral("&Website"));
    menuItem(website, "mnuWebsiteMore", QStringLiteral("&More Freeware from Kestrane"),
             &MainWindow::mnuWebsiteMore_Click);

    // Added after the original three: finding words inside entries, Back and Forward, and
    // stepping through the marks a Find result leaves in its entry. Their shortcuts work
    // from the Find window too.
    auto* find = addMenu("mnuFind", QStringLiteral("&Find"));
    shortcut(menuItem(find, "mnuFindEntries", QStringLiteral("&Find in Entries..."),
                      &MainWindow::mnuFindEntries_Click),
             QKeySequence(Qt::CTRL | Qt::Key_F));
    m_back = shortcut(
        menuItem(find, "mnuFindBack", QStringLiteral("&Back"), &MainWindow::mnuFindBack_Click),
        QKeySequence(Qt::ALT | Qt::Key_Left));
    m_forward = shortcut(menuItem(find, "mnuFindForward", QStringLiteral("F&orward"),
                                  &MainWindow::mnuFindForward_Click),
                         QKeySequence(Qt::ALT | Qt::Key_Right));
    find->addSeparator()->setObjectName(QStringLiteral("mnuFindMatchBar"));
    m_nextMatch = shortcut(menuItem(find, "mnuFindNextMatch", QStringLiteral("&Next Match"),
                                    &MainWindow::mnuFindNextMatch_Click),
                           QKeySequence(Qt::Key_F3));
    m_previousMatch =
        shortcut(menuItem(find, "mnuFindPreviousMatch", QStringLiteral("&Previous Match"),
                          &MainWindow::mnuFindPreviousMatch_Click),
                 QKeySequence(Qt::SHIFT | Qt::Key_F3));

    // The entry zoom, so that a reader finds it. The keys belong to the dictionary window
    // (they work there without this menu); the menu only shows them, after a tab: had the
    // items the same shortcuts, two owners of one key would cancel each other out.
    auto* view = addMenu("mnuView", QStringLiteral("&View"));
    const auto shown = [](const QString& caption, const QKeySequence& keys) {
        return caption + QLatin1Char('\t') + keys.toString(QKeySequence::NativeText);
    };
    m_zoomIn = menuItem(view, "mnuViewZoomIn",
                        shown(QStringLiteral("Zoom &In"), QKeySequence(QKeySequence::ZoomIn)),
                        &MainWindow::mnuViewZoomIn_Click);
    m_zoomOut = menuItem(view, "mnuViewZoomOut",
                         shown(QStringLiteral("Zoom &Out"), QKeySequence(QKeySequence::ZoomOut)),
                         &MainWindow::mnuViewZoomOut_Click);
    m_zoomNormal =
        menuItem(view, "mnuViewZoomNormal",
                 shown(QStringLiteral("&Normal Size"), QKeySequence(Qt::CTRL | Qt::Key_0)),
                 &MainWindow::mnuViewZoomNormal_Click);
}

QMenu* MainWindow::addMenu(const char* name, const QString& caption) {
    QMenu* menu = menuBar()->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* MainWindow::shortcut(QAction* action, const QKeySequence& keys) {
    action->setShortcut(keys);
    action->setShortcutContext(Qt::ApplicationShortcut);
    return action;
}

// Each command is enabled only when it can act.
void MainWindow::updateCommands() {
    const find::EntryHistory& history = m_forms.navigator().history();
    m_back->setEnabled(history.canGoBack());
    m_forward->setEnabled(history.canGoForward());
    const data::DictionaryConfig* open = m_forms.openDictionary();
    for (QAction* zoom : {m_zoomIn, m_zoomOut, m_zoomNormal})
        zoom->setEnabled(open != nullptr);
    const bool marks = open && m_forms.dictionaryWindow(*open).matchCount() > 0;
    m_nextMatch->setEnabled(marks);
    m_previousMatch->setEnabled(marks);
}

void MainWindow::refreshDictionaryMenu() {
    const auto& added = data::rescanAddedDictionaries(platform::applicationFolder());
    listAddedDictionaries(
        *m_dictionaries, m_addedFrom, m_getDictionaries, added,
        [this](const data::DictionaryConfig& config) {
            platform::runGuarded([this, &config] { runDictionaryCommand(config); });
        },
        [this] { platform::runGuarded([this] { mnuDictionariesMore_Click(); }); });
    if (m_moreDictionaries)
        m_moreDictionaries->setDictionaries(added);
    listUnusableFiles(*m_dictionaries, m_getDictionaries);
    if (find::FindWindow* findWindow = m_forms.findWindow())
        findWindow->dictionariesChanged();
}

void MainWindow::mnuDictionariesMore_Click() {
    if (!m_moreDictionaries) {
        m_moreDictionaries = new moredictionaries::MoreDictionariesWindow(this);
        m_moreDictionaries->setDictionaries(data::addedConfigs());
        connect(m_moreDictionaries, &moredictionaries::MoreDictionariesWindow::chosen, this,
                [this](const data::DictionaryConfig* config) {
                    platform::runGuarded([this, config] { runDictionaryCommand(*config); });
                });
    }
    m_moreDictionaries->show();
    m_moreDictionaries->raise();
    m_moreDictionaries->activateWindow();
    m_moreDictionaries->filterBox()->setFocus();
}

// An added dictionary whose file has gone, or been damaged, since the menu was made (or that
// Find or the history still names) is refused in plain words before the caption changes;
// the menu is read again once the command is over.
void MainWindow::refuseUnusable(const data::DictionaryConfig& config) {
    const QString problem = data::addedDictionaryProblem(config, platform::applicationFolder());
    if (problem.isEmpty())
        return;
    QMetaObject::invokeMethod(this, &MainWindow::refreshDictionaryMenu, Qt::QueuedConnection);
    throw engine::EngineError(engine::err::FileNotFound, problem, Telling::PlainWords);
}

QAction* MainWindow::menuItem(QMenu* menu, const char* name, const QString& caption,
                              void (MainWindow::*handler)()) {
    QAction* action = menu ? menu->addAction(caption) : menuBar()->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this,
            [this, handler] { platform::runGuarded([this, handler] { (this->*handler)(); }); });
    return action;
}

void MainWindow::setHeight(int twips) {
    m_outerSize = frameGeometry().size();
    m_outerSize.setHeight(platform::twipsToPixels(twips));
    applyOuterSize();
}

void MainWindow::setWidth(int twips) {
    m_outerSize = frameGeometry().size();
    m_outerSize.setWidth(platform::twipsToPixels(twips));
    applyOuterSize();
}

void MainWindow::applyOuterSize() {
    m_frameUsed = frameGeometry().size() - size();
    resize(m_outerSize - m_frameUsed);
    m_sizeSet = size();
    updateGrowth();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    updateGrowth();
}

// Measured on the outer size, frame included, against the outer size set at load: the
// frame may be known only later, and the inner size set for it may lag behind.
void MainWindow::updateGrowth() {
    if (m_outerSize.isValid())
        m_workspace->setGrowth(frameGeometry().size() - m_outerSize);
}

bool MainWindow::event(QEvent* event) {
    // A window manager may put its frame around the window only after it is shown; the
    // outer size set at load then needs the frame taken off once more, unless the user has
    // resized the window meanwhile. The frame shows at the window's first move, or, where the
    // window keeps its inner place as the frame arrives (some window managers; a window put
    // at a remembered place), by its first activation.
    const bool frameMayBeNew =
        event->type() == QEvent::Move || event->type() == QEvent::WindowActivate;
    if (frameMayBeNew && m_outerSize.isValid() && size() == m_sizeSet &&
        frameGeometry().size() - size() != m_frameUsed)
        applyOuterSize();
    if (frameMayBeNew)
        updateGrowth();
    return QMainWindow::event(event);
}

void MainWindow::MDIForm_Load() {
    // The platform window first, so that its frame is known where the platform knows it up
    // front; the size below is the outer size, frame included.
    create();
    setHeight(4600);
    setWidth(6945);
    // Where the window first appears is ours to choose: the middle of the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r(QPoint(0, 0), frameGeometry().size());
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

void MainWindow::openDictionary(
    const data::DictionaryConfig& shown,
    const std::vector<const data::DictionaryConfig*>& closedAfterwards) {
    if (m_forms.reopenIfReplaced(shown))
        return; // chosen again after its file was replaced: opened anew, in here once more
    setWindowTitle(shown.mainCaption);
    FormInstance& form = m_forms.dictionaryForm(shown);
    form.Show();
    form.setTop(0);
    form.setLeft(0);
    for (const auto* closed : closedAfterwards)
        m_forms.dictionaryForm(*closed).Unload();
    // One dictionary window at a time, added ones included.
    for (const auto* open : m_forms.loadedDictionaries())
        if (open != &shown)
            m_forms.dictionaryForm(*open).Unload();
    if (find::FindWindow* findWindow = m_forms.findWindow())
        findWindow->currentDictionaryChanged();
    updateCommands();
}

void MainWindow::mnuDictionariesKJV_Click() {
    openDictionary(data::kingJamesConfig(), {&data::hitchcockConfig(), &data::eastonsConfig()});
}

void MainWindow::mnuDictioanariesHitchcock_Click() {
    openDictionary(data::hitchcockConfig(), {&data::kingJamesConfig(), &data::eastonsConfig()});
}

void MainWindow::mnuDictionariesEastons_Click() {
    openDictionary(data::eastonsConfig(), {&data::kingJamesConfig(), &data::hitchcockConfig()});
}

void MainWindow::mnuDictionariesGet_Click() {
    m_forms.frmGetDictionaries().Show();
}

void MainWindow::mnuAbout_Click() {
    m_forms.Dialog().Show();
}

void MainWindow::mnuFindEntries_Click() {
    m_forms.frmFind().Show();
    if (find::FindWindow* window = m_forms.findWindow())
        window->focusFindText();
}

void MainWindow::mnuFindNextMatch_Click() {
    if (const data::DictionaryConfig* open = m_forms.openDictionary())
        m_forms.dictionaryWindow(*open).stepMatch(1);
}

void MainWindow::mnuFindPreviousMatch_Click() {
    if (const data::DictionaryConfig* open = m_forms.openDictionary())
        m_forms.dictionaryWindow(*open).stepMatch(-1);
}

void MainWindow::zoomEntry(int steps) {
    if (const data::DictionaryConfig* open = m_forms.openDictionary())
        m_forms.dictionaryWindow(*open).zoomEntry(steps);
}

void MainWindow::mnuViewZoomIn_Click() {
    zoomEntry(1);
}

void MainWindow::mnuViewZoomOut_Click() {
    zoomEntry(-1);
}

void MainWindow::mnuViewZoomNormal_Click() {
    zoomEntry(0);
}

// Ends the program as closing the main window does (Forms::mainWindowClosing).
void MainWindow::mnuDictionariesExit_Click() {
    close();
}

void MainWindow::mnuFindBack_Click() {
    m_forms.navigator().back();
}

void MainWindow::mnuFindForward_Click() {
    m_forms.navigator().forward();
}

void MainWindow::runDictionaryCommand(const data::DictionaryConfig& config) {
    if (&config == &data::kingJamesConfig())
        mnuDictionariesKJV_Click();
    else if (&config == &data::hitchcockConfig())
        mnuDictioanariesHitchcock_Click();
    else if (&config == &data::eastonsConfig())
        mnuDictionariesEastons_Click();
    else {
        refuseUnusable(config);
        openDictionary(config, {});
    }
}

void MainWindow::mnuWebsiteMore_Click() {
    // Opening the page is a courtesy: any failure is ignored and nothing is shown.
    platform::startIgnoringErrors(platform::makerWebPage());
}

} // namespace tolvane::shell
