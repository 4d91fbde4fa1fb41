// Opens the real windows on whatever platform Qt runs on (the screenshot script uses X11
// under Xvfb), drives them through the menus as a user would and saves what the screen
// shows as PNG files: the main window at start, with each dictionary open and an entry
// chosen, the Find window with results, and the About dialog; then a long Easton's entry in a
// maximised window, a zoomed entry, and the program under a dark theme. Exits non-zero when a
// window did not open, a picture came out empty or a title bar shows other than the window's
// caption, so that the test run notices.
//
// Usage: tolvane_screenshots <output-folder> <application-folder> [<full-eastons-folder>]
// The third folder, when given, holds an Easton's file with the whole text (for the long
// entry); otherwise the sample's is used.

#include "dictwindow/DictionaryWindow.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "find/FindResultList.h"
#include "find/FindWindow.h"
#include "platform/AppFolder.h"
#include "platform/MessageBox.h"
#include "richtext/RichTextBox.h"
#include "shell/AboutDialog.h"
#include "shell/ApplicationSetup.h"
#include "shell/Forms.h"
#include "shell/MainWindow.h"
#include "shell/MenuKeys.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QSet>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QTest>
#include <cstdio>

using namespace tolvane;

namespace {

int g_failures = 0;

void fail(const QString& what) {
    std::fprintf(stderr, "screenshots: %s\n", qPrintable(what));
    ++g_failures;
}

// A message box would wait for a click that never comes: note it and go on.
class NoteMessages final : public platform::MessageBoxService {
public:
    int show(const QString& text, int, const QString& title) override {
        fail(QStringLiteral("unexpected message \"%1: %2\"").arg(title, text));
        return platform::AnswerOk;
    }
};

void settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(60);
    }
}

// What the screen shows of the window (the real X11 rendering), or the widget's own
// rendering where the platform cannot grab the screen.
QImage capture(QWidget* window) {
    QScreen* screen = window->screen();
    QPixmap shot;
    if (QGuiApplication::platformName() == QLatin1String("xcb") && screen) {
        const QRect frame = window->frameGeometry();
        shot = screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    }
    if (shot.isNull())
        shot = window->grab();
    return shot.toImage();
}

void save(const QImage& image, const QString& folder, const QString& name) {
    const QString file = QDir(folder).filePath(name);
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    if (image.isNull() || colours.size() < 8)
        fail(QStringLiteral("%1 came out empty").arg(name));
    if (!image.save(file))
        fail(QStringLiteral("cannot write %1").arg(file));
    else
        std::printf("screenshots: wrote %s (%dx%d)\n", qPrintable(file), image.width(),
                    image.height());
}

void openDictionary(shell::Forms& forms, const data::DictionaryConfig& config,
                    const QString& folder, const QString& shotName, int row) {
    shell::MainWindow* main = forms.mainWindow();
    const auto actions = main->findChildren<QAction*>();
    for (QAction* a : actions)
        if (shell::plainCaption(a->text()) == config.menuCaption)
            a->trigger();
    settle();
    if (!forms.dictionaryForm(config).isLoaded()) {
        fail(QStringLiteral("%1 did not open").arg(config.windowName));
        return;
    }
    // Choose an entry, so the picture shows a definition as well as the list.
    dictwindow::DictionaryWindow& window = forms.dictionaryWindow(config);
    dictwindow::WordList* list = window.controls().lstdata;
    if (list->ListCount() <= row) {
        fail(
            QStringLiteral("%1 lists only %2 words").arg(config.windowName).arg(list->ListCount()));
        return;
    }
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    settle();
    if (window.controls().txtForename->text().isEmpty())
        fail(QStringLiteral("%1 shows no entry after a click").arg(config.windowName));
    if (!shotName.isEmpty())
        save(capture(main), folder, shotName);
}

// The title the window manager is given, read back from the X server: exactly the caption,
// with nothing added by the toolkit.
void checkTitle(QWidget* window, const QString& expected) {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty())
        return;
    QProcess p;
    p.start(xdotool, {QStringLiteral("getwindowname"), QString::number(window->winId())});
    p.waitForFinished(5000);
    const QString shown = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    if (shown != expected)
        fail(QStringLiteral("title bar shows \"%1\", not \"%2\"").arg(shown, expected));
}

// Selects the headword and shows it, as a click on it would.
bool showHeadword(dictwindow::DictionaryWindow& window, const QString& headword) {
    window.controls().txtSearch->setText(headword);
    settle();
    return window.chooseListItem(headword);
}

QPalette darkPalette() {
    QPalette p;
    const QColor window(45, 45, 48), base(30, 30, 32), text(225, 225, 225);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, QColor(61, 174, 233));
    p.setColor(QPalette::HighlightedText, QColor(0, 0, 0));
    p.setColor(QPalette::Dark, QColor(20, 20, 22));
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    return p;
}

// The Find window beside the main window, with the results of a search in every dictionary.
void findInEntries(shell::Forms& forms, const QString& folder, const QString& words) {
    forms.mainWindow()->findChild<QAction*>(QStringLiteral("mnuFindEntries"))->trigger();
    settle();
    find::FindWindow* window = forms.findWindow();
    if (!window || !QTest::qWaitForWindowExposed(window)) {
        fail(QStringLiteral("the Find window did not open"));
        return;
    }
    window->optAllDictionaries()->click();
    QTest::keyClicks(window->txtFind(), words);
    if (!QTest::qWaitFor([window] { return !window->isSearching(); }, 10000) ||
        window->lstResults()->results()->rowCount() == 0) {
        fail(QStringLiteral("Find listed nothing for \"%1\" (%2)")
                 .arg(words, window->lblCount()->text()));
        return;
    }
    window->lstResults()->setCurrentIndex(window->lstResults()->model()->index(1, 0));
    settle();
    save(capture(window), folder, QStringLiteral("find.png"));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    shell::setUpApplication();
    if (argc < 3) {
        std::fprintf(stderr, "usage: tolvane_screenshots <output-folder> <application-folder>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString appFolder = QString::fromLocal8Bit(argv[2]);
    const QString fullEastons = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    QDir().mkpath(out);
    for (const auto* config : data::allConfigs())
        if (!QFileInfo::exists(QDir(appFolder).filePath(config->fileName))) {
            std::fprintf(stderr, "screenshots: %s is missing from %s (build the project first)\n",
                         qPrintable(config->fileName), qPrintable(appFolder));
            return 1;
        }
    platform::setApplicationFolder(appFolder);
    platform::setMessageBoxService(std::make_shared<NoteMessages>());
    std::printf("screenshots: platform %s\n", qPrintable(QGuiApplication::platformName()));

    shell::Forms forms;
    forms.frmMain().Show();
    shell::MainWindow* main = forms.mainWindow();
    if (!main || !QTest::qWaitForWindowExposed(main)) {
        fail(QStringLiteral("the main window did not open"));
        return 1;
    }
    settle();
    checkTitle(main, QStringLiteral("Tolvane"));
    save(capture(main), out, QStringLiteral("main-start.png"));

    openDictionary(forms, data::kingJamesConfig(), out, QStringLiteral("main-kjv.png"), 2);
    openDictionary(forms, data::eastonsConfig(), out, QStringLiteral("main-eastons.png"), 2);
    openDictionary(forms, data::hitchcockConfig(), out, QStringLiteral("main-hitchcock.png"), 2);

    checkTitle(main, QStringLiteral("Tolvane - Hitchcock's Bible Names"));
    findInEntries(forms, out, QStringLiteral("son of"));
    if (QWidget* find = forms.findWindow()) // out of the way of the pictures below
        find->close();

    main->findChild<QAction*>(QStringLiteral("mnuAbout"))->trigger();
    settle();
    shell::AboutDialog* about = forms.aboutDialog();
    if (!about || !QTest::qWaitForWindowExposed(about)) {
        fail(QStringLiteral("the About dialog did not open"));
    } else {
        settle();
        checkTitle(about, QStringLiteral("Tolvane"));
        save(capture(about), out, QStringLiteral("about.png"));
        if (QScreen* screen = main->screen())
            save(screen->grabWindow(0).toImage(), out, QStringLiteral("screen.png"));
        forms.Dialog().Unload();
        settle();
    }

    // A long entry in a maximised window: the reading area fills it.
    if (!fullEastons.isEmpty())
        platform::setApplicationFolder(fullEastons);
    openDictionary(forms, data::eastonsConfig(), out, QString(), 0);
    main->showMaximized();
    settle();
    // Without a window manager nothing maximises: the window then takes the screen itself.
    if (QScreen* screen = main->screen(); screen && main->width() < screen->availableGeometry().width() * 9 / 10) {
        main->setGeometry(screen->availableGeometry());
        settle();
    }
    dictwindow::DictionaryWindow& eastons = forms.dictionaryWindow(data::eastonsConfig());
    const QString longEntry =
        fullEastons.isEmpty() ? QStringLiteral("Abraham") : QStringLiteral("Paul");
    if (!showHeadword(eastons, longEntry))
        fail(QStringLiteral("Easton's has no entry %1").arg(longEntry));
    settle();
    if (eastons.controls().txtSurname->width() < main->width() / 2)
        fail(QStringLiteral("the definition box did not grow with the maximised window"));
    save(capture(main), out, QStringLiteral("maximised-long-entry.png"));
    main->showNormal();
    settle();
    platform::setApplicationFolder(appFolder);

    // A zoomed entry: both entry boxes of the King James window, three steps up.
    openDictionary(forms, data::kingJamesConfig(), out, QString(), 2);
    dictwindow::DictionaryWindow& kjv = forms.dictionaryWindow(data::kingJamesConfig());
    for (int i = 0; i < 3; ++i)
        kjv.zoomEntry(1);
    settle();
    save(capture(main), out, QStringLiteral("zoomed-entry.png"));
    kjv.zoomEntry(0);

    // A dark theme: the boxes with fixed colours keep text that reads on them.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(darkPalette());
    openDictionary(forms, data::eastonsConfig(), out, QString(), 2);
    settle();
    save(capture(main), out, QStringLiteral("dark-theme.png"));
    return g_failures == 0 ? 0 : 1;
}
