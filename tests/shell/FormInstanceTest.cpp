// The window lifetime every window kind shares, on a plain window kind of the test's own.

#include "platform/Error.h"
#include "platform/ErrorGuard.h"
#include "shell/FormInstance.h"
#include "support/PlatformFakes.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace tolvane;

namespace {

// A window kind whose handlers count their runs; its "window-level variable" is `visits`.
class CountingKind {
public:
    CountingKind() : form(QStringLiteral("frmTest"), handlers()) {}

    shell::FormHandlers handlers() {
        shell::FormHandlers h;
        h.create = [this]() -> QWidget* {
            ++creates;
            auto* w = new QWidget;
            w->setAttribute(Qt::WA_DeleteOnClose);
            box = new QLineEdit(QStringLiteral("initial"), w);
            return w;
        };
        h.load = [this] {
            ++loads;
            if (failLoad)
                throw NumberedError(3024, QStringLiteral("Could not find file 'x.mdb'."));
        };
        h.activate = [this] { ++activations; };
        h.unloading = [this] { ++unloadings; };
        h.unloaded = [this] {
            ++unloadeds;
            box = nullptr;
        };
        return h;
    }

    int creates = 0, loads = 0, activations = 0, unloadings = 0, unloadeds = 0;
    bool failLoad = false;
    QLineEdit* box = nullptr;
    shell::FormInstance form;
};

void processDeferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

TEST(FormInstance, ShowLoadsOnceAndShowingAgainOnlyBringsToFront) {
    CountingKind kind;
    EXPECT_FALSE(kind.form.isLoaded());
    kind.form.Show();
    ASSERT_TRUE(kind.form.isLoaded());
    QWidget* w = kind.form.widget();
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(kind.creates, 1);
    EXPECT_EQ(kind.loads, 1);
    EXPECT_EQ(kind.activations, 1) << "Form_Activate runs right after the first Show";

    kind.box->setText(QStringLiteral("typed"));
    kind.form.Show();
    EXPECT_EQ(kind.form.widget(), w);
    EXPECT_EQ(kind.creates, 1);
    EXPECT_EQ(kind.loads, 1);
    EXPECT_EQ(kind.activations, 1) << "an active window is not activated again";
    EXPECT_EQ(kind.box->text(), QStringLiteral("typed"));
    kind.form.Unload();
}

TEST(FormInstance, UnloadOfAWindowThatIsNotLoadedDoesNothing) {
    CountingKind kind;
    kind.form.Unload();
    EXPECT_FALSE(kind.form.isLoaded());
    EXPECT_EQ(kind.creates + kind.loads + kind.unloadings + kind.unloadeds, 0);
}

TEST(FormInstance, UnloadDestroysTheControlsAndTheNextShowStartsAfresh) {
    CountingKind kind;
    kind.form.Show();
    QPointer<QWidget> first = kind.form.widget();
    QPointer<QLineEdit> firstBox = kind.box;
    firstBox->setText(QStringLiteral("typed"));

    kind.form.Unload();
    EXPECT_FALSE(kind.form.isLoaded());
    EXPECT_EQ(kind.form.widget(), nullptr);
    EXPECT_EQ(kind.unloadings, 1);
    EXPECT_EQ(kind.unloadeds, 1);
    EXPECT_FALSE(first && first->isVisible());
    kind.form.Unload(); // a second unload is a no-op
    EXPECT_EQ(kind.unloadeds, 1);

    kind.form.Show();
    EXPECT_EQ(kind.creates, 2);
    EXPECT_EQ(kind.loads, 2);
    EXPECT_EQ(kind.activations, 2);
    EXPECT_EQ(kind.box->text(), QStringLiteral("initial"));
    processDeferredDeletes();
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(firstBox.isNull());
    EXPECT_TRUE(kind.form.isLoaded()) << "the old window's deletion must not unload the new one";
    kind.form.Unload();
}

TEST(FormInstance, FailedLoadLeavesTheWindowNotLoadedAndPassesTheFailureOn) {
    test::PlatformFakes fakes;
    CountingKind kind;
    kind.failLoad = true;
    QPointer<QWidget> created;
    platform::runGuarded([&] {
        kind.form.Show();
        ADD_FAILURE() << "Show returned after a failed load";
    });
    EXPECT_EQ(fakes.messages->calls.size(), 1u) << "reported once, by the handler's guard";
    EXPECT_FALSE(kind.form.isLoaded());
    EXPECT_EQ(kind.activations, 0);
    EXPECT_EQ(kind.unloadeds, 1);

    kind.failLoad = false;
    kind.form.Show();
    EXPECT_TRUE(kind.form.isLoaded());
    EXPECT_EQ(kind.loads, 2);
    kind.form.Unload();
}

TEST(FormInstance, ClosingTheWindowUnloadsIt) {
    CountingKind kind;
    kind.form.Show();
    QPointer<QWidget> w = kind.form.widget();
    EXPECT_TRUE(w->close());
    EXPECT_FALSE(kind.form.isLoaded());
    EXPECT_EQ(kind.unloadings, 1);
    EXPECT_EQ(kind.unloadeds, 1);
    processDeferredDeletes();
    EXPECT_TRUE(w.isNull());
}

TEST(FormInstance, WindowDestroyedWithItsParentIsNoLongerLoaded) {
    CountingKind kind;
    kind.form.Show();
    delete kind.form.widget();
    EXPECT_FALSE(kind.form.isLoaded());
    EXPECT_EQ(kind.unloadeds, 1);
}

TEST(FormInstance, ActivateRunsOnEachChangeToActive) {
    CountingKind kind;
    kind.form.Show();
    EXPECT_EQ(kind.activations, 1);
    kind.form.activated();
    EXPECT_EQ(kind.activations, 1);
    kind.form.deactivated();
    kind.form.activated();
    EXPECT_EQ(kind.activations, 2);
    kind.form.Unload();
    kind.form.activated(); // nothing to activate
    EXPECT_EQ(kind.activations, 2);
}

TEST(FormInstance, FailureInActivateIsReportedOnce) {
    test::PlatformFakes fakes;
    shell::FormHandlers h;
    h.create = [] { return new QWidget; };
    h.activate = [] { throw NumberedError(91, QStringLiteral("Object variable not set")); };
    shell::FormInstance form(QStringLiteral("frmTest"), h);
    platform::runGuarded([&] { form.Show(); }); // activation inside a handler: passed on
    form.deactivated();
    form.activated(); // from the platform: reported by its own guard
    EXPECT_EQ(fakes.messages->calls.size(), 2u);
    EXPECT_TRUE(form.isLoaded());
    form.Unload();
}

TEST(FormInstance, PositionIsSetInTwips) {
    CountingKind kind;
    kind.form.setTop(300); // not loaded: nothing happens, nothing is loaded
    EXPECT_FALSE(kind.form.isLoaded());
    kind.form.Show();
    kind.form.setTop(300);
    kind.form.setLeft(1500);
    EXPECT_EQ(kind.form.widget()->pos(), QPoint(100, 20));
    kind.form.Unload();
}

} // namespace
