#include "shell/SessionKeeper.h"

#include "data/AddedDictionaries.h"
#include "data/DataOperations.h"
#include "data/DictionaryConfig.h"
#include "find/FindWindow.h"
#include "platform/AppFolder.h"
#include "platform/ScreenFit.h"
#include "platform/UserSettings.h"
#include "scripture/ScriptureWindow.h"
#include "shell/DictionaryView.h"
#include "shell/Forms.h"
#include "shell/MainWindow.h"
#include "shell/Navigator.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>
#include <cstdio>

namespace tolvane::shell {

namespace {

const QString kMainWindow = QStringLiteral("MainWindow");
const QString kFindWindow = QStringLiteral("FindWindow");
const QString kScriptureWindow = QStringLiteral("ScriptureWindow");

// The dictionary a remembered file name names: one of the three, or an added dictionary
// the folder still holds.
const data::DictionaryConfig* rememberedConfig(const QString& fileName) {
    if (const data::DictionaryConfig* config = data::configByFileName(fileName))
        return config;
    for (const data::DictionaryConfig* config : data::addedConfigs())
        if (config->fileName.compare(fileName, Qt::CaseInsensitive) == 0)
            return config;
    return nullptr;
}

// A remembered place smaller than this is a damaged value, not a user's choice.
constexpr QSize kSmallestPlace(120, 80);

// The frame's width on each side, as far as the window system has told it yet (nothing
// before the window is first shown on some).
QMargins frameOf(const QWidget& window) {
    const QRect inner = window.geometry();
    const QRect outer = window.frameGeometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

platform::WindowPlace placeOf(const QWidget& window) {
    const bool maximized = window.isMaximized();
    return {maximized ? window.normalGeometry() : window.geometry(), frameOf(window), maximized};
}

QMargins wider(const QMargins& a, const QMargins& b) {
    return {std::max(a.left(), b.left()), std::max(a.top(), b.top()),
            std::max(a.right(), b.right()), std::max(a.bottom(), b.bottom())};
}

// Puts the window at its remembered place when the whole window, its frame included, fits
// the screens present now; otherwise it stays at its default place. The inner rectangle is
// what is set: before the window is shown the frame's size may be unknown, and a position
// given for the frame would then land on the inner corner.
void applyPlace(QWidget& window, const std::optional<platform::WindowPlace>& place) {
    if (!place)
        return;
    const QRect outer = place->inner.marginsAdded(wider(place->frame, frameOf(window)));
    if (!platform::fitsScreens(outer, platform::availableScreenAreas(),
                               window.minimumSizeHint().expandedTo(kSmallestPlace)))
        return;
    window.setGeometry(place->inner);
    if (place->maximized)
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

QString fileNameOfWindow(const QString& windowName) {
    const data::DictionaryConfig* config = data::configByWindowName(windowName);
    return config ? config->fileName : QString();
}

} // namespace

SessionKeeper::SessionKeeper(Forms& forms, platform::UserSettings& settings, QObject* parent)
    : QObject(parent), m_forms(forms), m_settings(settings) {
    connect(&m_forms.frmMain(), &FormInstance::loaded, this, &SessionKeeper::mainWindowLoaded);
    connect(&m_forms.frmFind(), &FormInstance::loaded, this, &SessionKeeper::findWindowLoaded);
    connect(&m_forms, &Forms::scriptureWindowCreated, this, [this](QWidget* window) {
        applyPlace(*window, m_settings.windowPlace(kScriptureWindow));
        window->installEventFilter(this);
    });
    // The End button leaves the event loop with the windows still loaded, only hidden.
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &SessionKeeper::save);
}

void SessionKeeper::start() {
    m_forms.frmMain().Show();
    if (!m_forms.mainWindow())
        return;
    restoreHistory();
    restoreDictionary();
    m_forms.setChosenBible(m_settings.bible());
}

// Before the window is shown, so that it appears where it was.
void SessionKeeper::mainWindowLoaded(QWidget* window) {
    applyPlace(*window, m_settings.windowPlace(kMainWindow));
    // After the window mechanism's own filter, so that this one sees the close first, while
    // the dictionary window is still there.
    window->installEventFilter(this);
}

void SessionKeeper::findWindowLoaded(QWidget* window) {
    auto* findWindow = qobject_cast<find::FindWindow*>(window);
    if (!findWindow)
        return;
    applyPlace(*findWindow, m_settings.windowPlace(kFindWindow));
    const platform::RememberedFind remembered = m_settings.find();
    if (remembered.allDictionaries)
        (*remembered.allDictionaries ? findWindow->optAllDictionaries()
                                     : findWindow->optThisDictionary())
            ->setChecked(true);
    findWindow->txtFind()->setText(remembered.text); // searches as typing would
    findWindow->installEventFilter(this);
}

void SessionKeeper::restoreHistory() {
    const platform::RememberedHistory remembered = m_settings.history();
    std::vector<find::HistoryEntry> entries;
    std::size_t current = 0;
    for (std::size_t i = 0; i < remembered.entries.size(); ++i) {
        const platform::RememberedEntry& entry = remembered.entries[i];
        const data::DictionaryConfig* config = rememberedConfig(entry.dictionary);
        if (!config)
            continue; // a dictionary of no kind this program knows
        if (i <= remembered.current)
            current = entries.size();
        entries.push_back({config->windowName, entry.headword, entry.duplicate});
    }
    if (!entries.empty())
        m_forms.navigator().restoreHistory(std::move(entries), current);
}

// Opens the dictionary through its menu command, then puts back what it showed.
void SessionKeeper::restoreDictionary() {
    const platform::RememberedDictionary remembered = m_settings.openDictionary();
    const data::DictionaryConfig* config = rememberedConfig(remembered.dictionary);
    // A file that has gone since is not opened: that would greet the user with an error.
    if (!config || !QFileInfo::exists(data::dictionaryPath(*config, platform::applicationFolder())))
        return;
    m_forms.mainWindow()->runDictionaryCommand(*config);
    restoreView(m_forms, *config,
                {remembered.searchText, remembered.headword, remembered.duplicate});
}

void SessionKeeper::save() {
    saveMainWindow();
    saveFindWindow();
    saveScriptureWindow();
    saveHistory();
    flush();
}

void SessionKeeper::saveMainWindow() {
    MainWindow* main = m_forms.mainWindow();
    if (!main)
        return;
    m_settings.setWindowPlace(kMainWindow, placeOf(*main));
    platform::RememberedDictionary open;
    if (const data::DictionaryConfig* config = m_forms.openDictionary()) {
        const DictionaryView view = viewOf(m_forms, *config);
        open = {config->fileName, view.searchText, view.headword, view.duplicate};
    }
    m_settings.setOpenDictionary(open);
}

void SessionKeeper::saveFindWindow() {
    find::FindWindow* findWindow = m_forms.findWindow();
    if (!findWindow)
        return;
    m_settings.setWindowPlace(kFindWindow, placeOf(*findWindow));
    m_settings.setFind(
        {findWindow->txtFind()->text(), findWindow->optAllDictionaries()->isChecked()});
}

void SessionKeeper::saveScriptureWindow() {
    if (QWidget* window = m_forms.scriptureWindow(); window && window->isVisible())
        m_settings.setWindowPlace(kScriptureWindow, placeOf(*window));
    m_settings.setBible(m_forms.chosenBible());
}

void SessionKeeper::saveHistory() {
    const find::EntryHistory& history = m_forms.navigator().history();
    platform::RememberedHistory remembered;
    for (const find::HistoryEntry& entry : history.entries())
        remembered.entries.push_back(
            {fileNameOfWindow(entry.windowName), entry.headword, entry.duplicate});
    remembered.current = history.currentIndex();
    m_settings.setHistory(remembered);
}

void SessionKeeper::flush() {
    const bool written = m_settings.flush();
    // Settings not kept, or an unreadable file written anew: said once, and instead of a
    // failure to write, which it explains.
    if (const QString note = m_settings.takeNote(); !note.isEmpty()) {
        std::fprintf(stderr, "tolvane: %s\n", qPrintable(note));
        return;
    }
    if (written || m_reportedWriteFailure)
        return;
    m_reportedWriteFailure = true;
    std::fprintf(stderr, "tolvane: cannot write the settings file %s\n",
                 qPrintable(m_settings.fileName()));
}

bool SessionKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        if (watched == m_forms.mainWindow()) {
            save();
        } else if (watched == m_forms.findWindow()) {
            saveFindWindow();
            flush();
        } else if (watched == m_forms.scriptureWindow()) {
            saveScriptureWindow();
            flush();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tolvane::shell
