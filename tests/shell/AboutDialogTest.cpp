// The About dialog: one instance, its controls exactly as designed, the two links, OK, and
// its life apart from the main window.

#include "ShellFixture.h"

#include "platform/Twips.h"
#include "shell/AboutDialog.h"
#include "shell/MainWindow.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace tolvane;
using platform::pixelsToTwips;

namespace {

class AboutDialogTest : public test::ShellFixture {
protected:
    void openAbout() {
        choose(QStringLiteral("mnuAbout"));
        ASSERT_NE(aboutDialog(), nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(aboutDialog()));
    }
    QWidget* control(const char* name) {
        return aboutDialog()->findChild<QWidget*>(QString::fromLatin1(name));
    }
    QString text(const char* name) { return qobject_cast<QLabel*>(control(name))->text(); }
    void click(const char* name) {
        QWidget* w = control(name);
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    }
    int openDialogs() {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<shell::AboutDialog*>(w) && w->isVisible())
                ++n;
        return n;
    }
    // Every text the dialog shows, for comparing two openings.
    QStringList texts() {
        QStringList all{aboutDialog()->windowTitle()};
        for (QLabel* l : aboutDialog()->findChildren<QLabel*>())
            all << l->objectName() + QStringLiteral(": ") + l->text() + QStringLiteral(" / ") +
                       l->toolTip();
        all << qobject_cast<QPushButton*>(control("OKButton"))->text();
        return all;
    }
};

TEST_F(AboutDialogTest, ControlsAreCreatedInOrderWithTheirTextsPlacesAndSettings) {
    startProgram();
    openAbout();
    shell::AboutDialog* d = aboutDialog();
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Tolvane"));
    EXPECT_EQ(pixelsToTwips(d->size().width()), 6030);
    EXPECT_EQ(pixelsToTwips(d->size().height()), 3375);
    EXPECT_EQ(d->minimumSize(), d->maximumSize()) << "the dialog must not be resizable";
    const Qt::WindowFlags flags = d->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(d->parentWidget(), nullptr) << "a separate top-level window";
    EXPECT_EQ(d->windowIcon().availableSizes(), mainWindow()->windowIcon().availableSizes());
    EXPECT_EQ(d->windowIcon().availableSizes().size(), 3);
    EXPECT_EQ(d->windowIcon().pixmap(32).toImage(), mainWindow()->windowIcon().pixmap(32).toImage());

    struct Expected {
        const char* name;
        const char* parent;
        QRect twips;
    };
    const Expected table[] = {
        {"Frame1", "Dialog", {120, 120, 5775, 735}},   {"Label2", "Frame1", {120, 120, 5535, 495}},
        {"Frame2", "Dialog", {120, 1200, 5775, 1455}}, {"Label4", "Frame2", {120, 240, 5415, 1095}},
        {"OKButton", "Dialog", {4680, 2880, 1215, 375}}, {"Label5", "Dialog", {3240, 960, 2655, 255}},
        {"Label1", "Dialog", {240, 960, 1335, 255}},   {"Image1", "Dialog", {120, 2760, 4500, 465}},
    };
    QStringList created;
    for (QWidget* w : d->findChildren<QWidget*>())
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            created << w->objectName();
    QStringList expectedOrder;
    for (const Expected& e : table)
        expectedOrder << QString::fromLatin1(e.name);
    EXPECT_EQ(created, expectedOrder);
    for (const Expected& e : table) {
        SCOPED_TRACE(e.name);
        QWidget* w = control(e.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->parentWidget()->objectName(), QString::fromLatin1(e.parent));
        EXPECT_EQ(pixelsToTwips(w->geometry()), e.twips);
        EXPECT_TRUE(w->isVisible());
    }

    EXPECT_EQ(text("Label2"),
              QStringLiteral("King James Version Dictionary of Archaic Words and Phrases, "
                             "Easton's Bible Dictionary, and Hitchcock's Bible Names are in the "
                             "Public Domain."));
    EXPECT_EQ(text("Label1"), QStringLiteral("Version 2.0.0"));
    EXPECT_EQ(text("Label4"), shell::AboutDialog::freewareNotice());
    EXPECT_EQ(text("Label5"), QStringLiteral("Email    ") + platform::makerEmail());
    EXPECT_EQ(qobject_cast<QPushButton*>(control("OKButton"))->text(), QStringLiteral("OK"));

    const QFont versionFont = control("Label1")->font();
    EXPECT_EQ(versionFont.family(), QStringLiteral("MS Sans Serif"));
    EXPECT_DOUBLE_EQ(versionFont.pointSizeF(), 8.25);
    EXPECT_TRUE(versionFont.bold());

    const QColor darkBlue(0, 0, 192);
    EXPECT_EQ(control("Label1")->palette().color(QPalette::WindowText), darkBlue);
    EXPECT_EQ(control("Label4")->palette().color(QPalette::WindowText), darkBlue);
    EXPECT_EQ(control("Frame2")->palette().color(QPalette::Window), QColor(224, 224, 224));
    EXPECT_EQ(control("Frame2")->palette().color(QPalette::WindowText), darkBlue);
    EXPECT_TRUE(control("Frame2")->autoFillBackground());
    EXPECT_EQ(control("Label5")->palette().color(QPalette::WindowText), QColor(0, 0, 255));

    const QPixmap banner = qobject_cast<QLabel*>(control("Image1"))->pixmap();
    EXPECT_EQ(banner.size(), QSize(300, 31));
    EXPECT_EQ(control("Image1")->toolTip(),
              QStringLiteral("Click here for more Freeware from Kestrane."));
    EXPECT_EQ(control("Label5")->toolTip(), QStringLiteral("Email"));
    for (const char* link : {"Image1", "Label5"}) {
        SCOPED_TRACE(link);
        const QCursor cursor = control(link)->cursor();
        EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
        EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));
    }
}

TEST_F(AboutDialogTest, OnlyOkTakesTheFocus) {
    startProgram();
    openAbout();
    QStringList focusable;
    for (QWidget* w : aboutDialog()->findChildren<QWidget*>())
        if (w->focusPolicy() != Qt::NoFocus)
            focusable << w->objectName();
    EXPECT_EQ(focusable, QStringList{"OKButton"});
    EXPECT_EQ(QApplication::focusWidget(), control("OKButton"));
    QTest::keyClick(control("OKButton"), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control("OKButton"));
}

TEST_F(AboutDialogTest, ChoosingAboutTwiceShowsOneDialog) {
    startProgram();
    openAbout();
    QPointer<shell::AboutDialog> first = aboutDialog();
    choose(QStringLiteral("mnuAbout"));
    EXPECT_EQ(aboutDialog(), first.data());
    EXPECT_EQ(openDialogs(), 1);
}

TEST_F(AboutDialogTest, OkClosesAndAboutAgainShowsTheSameTexts) {
    startProgram();
    openAbout();
    const QStringList before = texts();
    QPointer<shell::AboutDialog> first = aboutDialog();
    click("OKButton");
    EXPECT_FALSE(forms->Dialog().isLoaded());
    EXPECT_FALSE(first && first->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull()) << "OK must destroy the dialog's controls";
    EXPECT_EQ(openDialogs(), 0);

    openAbout();
    EXPECT_EQ(texts(), before);
    EXPECT_EQ(openDialogs(), 1);
}

TEST_F(AboutDialogTest, CloseBoxAndEscapeCloseTheDialogLikeOk) {
    startProgram();
    openAbout();
    aboutDialog()->close();
    EXPECT_FALSE(forms->Dialog().isLoaded());
    openAbout();
    QTest::keyClick(control("OKButton"), Qt::Key_Escape);
    EXPECT_FALSE(forms->Dialog().isLoaded());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(openDialogs(), 0);
    openAbout();
    EXPECT_EQ(openDialogs(), 1);
}

TEST_F(AboutDialogTest, LinksHandTheirAddressesToThePlatformAndLeaveTheDialogAsItWas) {
    startProgram();
    openAbout();
    const QStringList before = texts();
    click("Image1");
    click("Label5");
    ASSERT_EQ(fakes.starter->started.size(), 2u);
    EXPECT_EQ(fakes.starter->started[0], platform::makerWebPage());
    EXPECT_EQ(fakes.starter->started[1], platform::makerMailto());
    EXPECT_EQ(fakes.starter->started[1].toString(),
              QStringLiteral("mailto:") + platform::makerEmail());

    // With nothing to open the addresses, the clicks show nothing either.
    fakes.starter->fail = true;
    click("Image1");
    fakes.starter->fail = false;
    fakes.starter->throws = true;
    click("Label5");
    EXPECT_EQ(fakes.starter->started.size(), 4u);
    EXPECT_TRUE(fakes.messages->calls.empty());
    EXPECT_TRUE(forms->Dialog().isLoaded());
    EXPECT_TRUE(aboutDialog()->isVisible());
    EXPECT_EQ(texts(), before);
}

TEST_F(AboutDialogTest, TextsThatAreNotLinksDoNothingWhenClicked) {
    startProgram();
    openAbout();
    for (const char* name : {"Label1", "Label2", "Label4", "Frame1", "Frame2"})
        click(name);
    EXPECT_TRUE(fakes.starter->started.empty());
    EXPECT_TRUE(fakes.messages->calls.empty());
    EXPECT_TRUE(aboutDialog()->isVisible());
}

// Every way the last two windows can go, in either order: the program ends with the last.
enum class AboutGoes { ByOk, ByCloseBox, ByEscape };
struct Ending {
    AboutGoes about;
    bool mainFirst;
};

class ProgramEndTest : public AboutDialogTest, public ::testing::WithParamInterface<Ending> {
protected:
    void closeAbout() {
        switch (GetParam().about) {
        case AboutGoes::ByOk:
            click("OKButton");
            break;
        case AboutGoes::ByCloseBox:
            aboutDialog()->close();
            break;
        case AboutGoes::ByEscape:
            QTest::keyClick(control("OKButton"), Qt::Key_Escape);
            break;
        }
    }
};

TEST_P(ProgramEndTest, AboutOutlivesTheMainWindowAndTheProgramEndsWithTheLastWindow) {
    startProgram();
    openAbout();
    // Run the real event loop: closing the main window must not end it while About is open;
    // closing the last window, whichever way, must.
    bool aboutShownAfterMainClosed = !GetParam().mainFirst;
    QObject timers; // ends the timers with the test
    QTimer::singleShot(0, &timers, [&] {
        if (GetParam().mainFirst)
            mainWindow()->close();
        else
            closeAbout();
    });
    QTimer::singleShot(50, &timers, [&] {
        if (!GetParam().mainFirst) {
            mainWindow()->close();
            return;
        }
        aboutShownAfterMainClosed =
            !forms->frmMain().isLoaded() && aboutDialog() && aboutDialog()->isVisible();
        if (aboutDialog())
            closeAbout();
    });
    QTimer::singleShot(5000, &timers, [] { QCoreApplication::exit(2); });
    const bool quitBefore = QGuiApplication::quitOnLastWindowClosed();
    QGuiApplication::setQuitOnLastWindowClosed(true);
    EXPECT_EQ(QApplication::exec(), 0) << "the program did not end with its last window";
    QGuiApplication::setQuitOnLastWindowClosed(quitBefore);
    EXPECT_TRUE(aboutShownAfterMainClosed);
    EXPECT_FALSE(forms->Dialog().isLoaded());
    EXPECT_FALSE(forms->frmMain().isLoaded());
}

INSTANTIATE_TEST_SUITE_P(Ways, ProgramEndTest,
                         ::testing::Values(Ending{AboutGoes::ByOk, true},
                                           Ending{AboutGoes::ByCloseBox, true},
                                           Ending{AboutGoes::ByEscape, true},
                                           Ending{AboutGoes::ByOk, false},
                                           Ending{AboutGoes::ByEscape, false}));

} // namespace
