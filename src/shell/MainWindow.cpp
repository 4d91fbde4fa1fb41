#include "shell/MainWindow.h"

#include "data/AddedDictionaries.h"
#include "data/DictionaryConfig.h"
#include "platform/AppFolder.h"
#include "platform/ErrorGuard.h"
#include "platform/ProgramStart.h"
#include "platform/Twips.h"
#include "shell/Forms.h"
#include "shell/Images.h"
#include "shell/Navigator.h"
#include "shell/Workspace.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QScreen>
#include <QShortcut>
#include <QStyleOptionMenuItem>

namespace tolvane::shell {

MainWindow::MainWindow(Forms& forms, QWidget* parent)
    : QMainWindow(parent), m_forms(forms), m_workspace(new Workspace(this)) {
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Tolvane"));
    setWindowIcon(programIcon());
    setCentralWidget(m_workspace);
    createMenus();
    enableMenuBarKeys();
}

namespace {
// The platform style decides whether a lone Alt press moves into the menu bar; on the
// platform the program was made for it does, whatever the style on this one says.
class MenuBarKeys final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
    // Some styles mark a bar item only while its menu is open; with the keyboard in the bar
    // the marked item is where the keys act, so it is drawn as if pressed.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element == CE_MenuBarItem && item && item->state.testFlag(State_Selected) && widget &&
            widget->hasFocus()) {
            QStyleOptionMenuItem marked(*item);
            marked.state |= State_Sunken;
            QProxyStyle::drawControl(element, &marked, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};
} // namespace

void MainWindow::enableMenuBarKeys() {
    QMenuBar* bar = menuBar();
    auto* style = new MenuBarKeys;
    style->setParent(bar);
    bar->setStyle(style);
    // F10 does what a lone Alt does: the bar takes the keyboard with its first menu marked
    // (or gives it back), and the arrow keys, Enter and Escape go on from there; Enter also
    // works on About, a command on the bar itself, because the bar holds the focus. The bar
    // watches this window for a lone Alt, so F10 hands it one.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    f10->setContext(Qt::WindowShortcut);
    connect(f10, &QShortcut::activated, this, [this] {
        QKeyEvent altDown(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
        QCoreApplication::sendEvent(this, &altDown);
        QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
        QCoreApplication::sendEvent(this, &altUp);
    });
}

void MainWindow::createMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    // Captions carry no mnemonic marker and no item of these three menus has a shortcut.
    auto* dictionaries = bar->addMenu(QStringLiteral("Dictionaries"));
    dictionaries->setObjectName(QStringLiteral("mnuDictionaries"));
    dictionaries->menuAction()->setObjectName(QStringLiteral("mnuDictionaries"));
    menuItem(dictionaries, "mnuDictionariesKJV", QStringLiteral("KJV Archaic Words"),
             &MainWindow::mnuDictionariesKJV_Click);
    menuItem(dictionaries, "mnuDictioanariesHitchcock", QStringLiteral("Hitchcocks Bible Names"),
             &MainWindow::mnuDictioanariesHitchcock_Click);
    menuItem(dictionaries, "mnuDictionariesEastons", QStringLiteral("Easton's Bible Dictionary"),
             &MainWindow::mnuDictionariesEastons_Click);
    // Below the three: the added dictionaries, then the window that gets more.
    m_dictionaries = dictionaries;
    m_addedFrom = dictionaries->addSeparator();
    m_addedFrom->setObjectName(QStringLiteral("mnuDictionariesSeparator"));
    menuItem(dictionaries, "mnuDictionariesGet", QStringLiteral("Get Dictionaries..."),
             &MainWindow::mnuDictionariesGet_Click);
    refreshDictionaryMenu();

    // About is a command on the menu bar itself, without a submenu.
    menuItem(nullptr, "mnuAbout", QStringLiteral("About"), &MainWindow::mnuAbout_Click);

    auto* website = bar->addMenu(QStringLiteral("Website"));
    website->setObjectName(QStringLiteral("mnuWebsite"));
    website->menuAction()->setObjectName(QStringLiteral("mnuWebsite"));
    menuItem(website, "mnuWebsiteMore", QStringLiteral("More Freeware from Kestrane"),
             &MainWindow::mnuWebsiteMore_Click);

    // Added after the original three: finding words inside entries, and Back and Forward.
    // Its items have shortcuts, which work from the Find window too.
    auto* find = bar->addMenu(QStringLiteral("Find"));
    find->setObjectName(QStringLiteral("mnuFind"));
    find->menuAction()->setObjectName(QStringLiteral("mnuFind"));
    const std::pair<QAction*, QKeySequence> shortcuts[] = {
        {menuItem(find, "mnuFindEntries", QStringLiteral("Find in Entries..."),
                  &MainWindow::mnuFindEntries_Click),
         QKeySequence(Qt::CTRL | Qt::Key_F)},
        {menuItem(find, "mnuFindBack", QStringLiteral("Back"), &MainWindow::mnuFindBack_Click),
         QKeySequence(Qt::ALT | Qt::Key_Left)},
        {menuItem(find, "mnuFindForward", QStringLiteral("Forward"),
                  &MainWindow::mnuFindForward_Click),
         QKeySequence(Qt::ALT | Qt::Key_Right)}};
    for (const auto& [action, keys] : shortcuts) {
        action->setShortcut(keys);
        action->setShortcutContext(Qt::ApplicationShortcut);
    }
}

void MainWindow::refreshDictionaryMenu() {
    const auto& added = data::rescanAddedDictionaries(platform::applicationFolder());
    const QList<QAction*> items = m_dictionaries->actions();
    const qsizetype first = items.indexOf(m_addedFrom) + 1;
    QAction* get = items.last();
    for (qsizetype i = first; i < items.size() - 1; ++i)
        delete items.at(i);
    for (const data::DictionaryConfig* config : added) {
        auto* item = new QAction(config->menuCaption, m_dictionaries);
        item->setObjectName(QStringLiteral("mnu") + config->windowName);
        m_dictionaries->insertAction(get, item);
        connect(item, &QAction::triggered, this, [this, config] {
            platform::runGuarded([this, config] { runDictionaryCommand(*config); });
        });
    }
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
    // resized the window meanwhile.
    if (event->type() == QEvent::Move && m_outerSize.isValid() && size() == m_sizeSet &&
        frameGeometry().size() - size() != m_frameUsed)
        applyOuterSize();
    if (event->type() == QEvent::Move)
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
    else
        openDictionary(config, {});
}

void MainWindow::mnuWebsiteMore_Click() {
    // Opening the page is a courtesy: any failure is ignored and nothing is shown.
    platform::startIgnoringErrors(platform::makerWebPage());
}

} // namespace tolvane::shell
