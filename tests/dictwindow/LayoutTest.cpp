// The dictionary window's controls as built, for all three windows: names, creation order,
// places in twips, texts, initial states, colours, fonts and the tab order.

#include "data/DictionaryConfig.h"
#include "dictwindow/DictionaryLayout.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "platform/Twips.h"
#include "richtext/RichTextBox.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace tolvane;
using platform::pixelsToTwips;

namespace {

struct Control {
    const char* name;
    const char* kind; // class name
    QString text;
    QRect twips;
    bool visible;
    bool enabled;
};

// The King James window's table; the other two leave out rtb1 and Label3 and differ in the
// definition box's height.
std::vector<Control> expectedControls(const data::DictionaryConfig& config) {
    std::vector<Control> all{
        {"Command1", "QPushButton", "Get New Word", {3360, 3360, 1215, 255}, true, true},
        {"rtb1", "tolvane::richtext::RichTextBox", "", {3360, 1920, 3255, 1335}, true, true},
        {"cmdAdd", "QPushButton", "Add New", {1800, 2040, 1215, 255}, false, true},
        {"cmdDelete", "QPushButton", "Delete", {3240, 2040, 1215, 255}, false, false},
        {"cmdEdit", "QPushButton", "Edit", {1800, 2400, 1215, 255}, false, false},
        {"cmdend", "QPushButton", "End", {3240, 2400, 1215, 255}, false, true},
        {"cmdsave", "QPushButton", "Save", {1800, 2760, 1215, 255}, false, false},
        {"cmdcancel", "QPushButton", "Cancel", {3240, 2760, 1215, 255}, false, false},
        {"txtSearch", "tolvane::dictwindow::SearchBox", "Enter word here...",
         {120, 240, 2895, 285}, true, true},
        {"txtForename", "QLineEdit", "", {3360, 240, 3255, 285}, true, true},
        {"txtSurname", "QPlainTextEdit", "", {3360, 840, 3255, config.definitionHeight}, true, true},
        {"lstdata", "tolvane::dictwindow::WordList", "", {120, 960, 2895, 2595}, true, true},
        {"Label3", "QLabel", "Scripture", {4560, 1680, 855, 255}, true, true},
        {"Label2", "QLabel", "Definition", {4560, 600, 735, 255}, true, true},
        {"Label1", "QLabel", "Enter a Word or Select a Word", {360, 600, 2415, 255}, true, true},
    };
    if (!config.hasScripture())
        std::erase_if(all, [](const Control& c) {
            return QLatin1String(c.name) == QLatin1String("rtb1") ||
                   QLatin1String(c.name) == QLatin1String("Label3");
        });
    return all;
}

QString textOf(QWidget* w) {
    if (auto* b = qobject_cast<QPushButton*>(w))
        return b->text();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* p = qobject_cast<QPlainTextEdit*>(w))
        return p->toPlainText();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* r = qobject_cast<richtext::RichTextBox*>(w))
        return r->toPlainText();
    return {};
}

class LayoutTest : public ::testing::TestWithParam<const data::DictionaryConfig*> {
protected:
    void SetUp() override {
        controls = dictwindow::buildDictionaryLayout(config());
        form.reset(controls.form);
    }
    const data::DictionaryConfig& config() const { return *GetParam(); }
    QWidget* control(const char* name) const {
        return form->findChild<QWidget*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
    }
    void showForm() {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QApplication::setActiveWindow(form.get());
    }
    QStringList tabThrough(QWidget* start, int presses) {
        start->setFocus();
        QStringList visited;
        for (int i = 0; i < presses; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        return visited;
    }

    dictwindow::DictionaryControls controls;
    std::unique_ptr<QWidget> form;
};

TEST_P(LayoutTest, WindowIsItsDesignedClientAreaAtTheSmallestNamedAfterItsKind) {
    EXPECT_EQ(form->objectName(), config().windowName);
    EXPECT_EQ(form->windowTitle(), config().windowCaption);
    EXPECT_EQ(pixelsToTwips(form->width()), 6735);
    EXPECT_EQ(pixelsToTwips(form->height()), 3720);
    EXPECT_EQ(form->minimumSize(), form->size());
}

TEST_P(LayoutTest, EveryControlInCreationOrderWithItsPlaceTextAndInitialState) {
    const auto expected = expectedControls(config());
    QStringList order, expectedOrder;
    for (QObject* child : form->children())
        if (child->isWidgetType())
            order << child->objectName();
    for (const Control& c : expected)
        expectedOrder << QString::fromLatin1(c.name);
    EXPECT_EQ(order, expectedOrder);

    showForm();
    for (const Control& c : expected) {
        SCOPED_TRACE(c.name);
        QWidget* w = control(c.name);
        ASSERT_NE(w, nullptr);
        EXPECT_STREQ(w->metaObject()->className(), c.kind);
        EXPECT_EQ(pixelsToTwips(w->geometry()), c.twips);
        EXPECT_EQ(textOf(w), c.text);
        EXPECT_EQ(w->isVisible(), c.visible);
        EXPECT_EQ(w->isEnabled(), c.enabled);
    }
    // The struct hands out the same controls.
    EXPECT_EQ(controls.txtSearch, control("txtSearch"));
    EXPECT_EQ(controls.lstdata, control("lstdata"));
    EXPECT_EQ(static_cast<QWidget*>(controls.rtb1), control("rtb1"));
    EXPECT_EQ(controls.Label3, control("Label3"));
    EXPECT_EQ(controls.rtb1 != nullptr, config().hasScripture());
}

TEST_P(LayoutTest, RightHandControlsEndInsideTheWindowAndTheListAboveItsBottom) {
    for (const char* name : {"txtForename", "txtSurname", "rtb1"}) {
        SCOPED_TRACE(name);
        if (!control(name))
            continue; // no scripture box in this window
        EXPECT_EQ(6735 - pixelsToTwips(control(name)->geometry().right() + 1), 120);
    }
    EXPECT_EQ(3720 - pixelsToTwips(control("lstdata")->geometry().bottom() + 1), 165);
}

TEST_P(LayoutTest, EditingButtonsStayHiddenWhenTheWindowIsShown) {
    showForm();
    for (const char* name : {"cmdAdd", "cmdDelete", "cmdEdit", "cmdend", "cmdsave", "cmdcancel"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(control(name)->isHidden());
        EXPECT_FALSE(control(name)->isVisibleTo(form.get()));
    }
    QStringList visibleButtons;
    for (QPushButton* b : form->findChildren<QPushButton*>())
        if (b->isVisible())
            visibleButtons << b->objectName();
    EXPECT_EQ(visibleButtons, QStringList{"Command1"});
}

TEST_P(LayoutTest, HeadwordAndDefinitionBoxesAreReadOnlyYellowAndIgnoreTyping) {
    showForm();
    auto* headword = controls.txtForename;
    auto* definition = controls.txtSurname;
    EXPECT_TRUE(headword->isReadOnly());
    EXPECT_TRUE(definition->isReadOnly());
    headword->setFocus();
    QTest::keyClicks(headword, QStringLiteral("xyz"));
    definition->setFocus();
    QTest::keyClicks(definition, QStringLiteral("xyz"));
    EXPECT_TRUE(headword->text().isEmpty());
    EXPECT_TRUE(definition->toPlainText().isEmpty());

    EXPECT_EQ(definition->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(definition->font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_DOUBLE_EQ(definition->font().pointSizeF(), 9.75);
    EXPECT_FALSE(definition->font().bold());

    // What is drawn, not only what is asked for: a style may ignore palette colours.
    const QImage image = form->grab().toImage();
    auto colourInside = [&](QWidget* w) {
        return image.pixelColor(w->geometry().center() + QPoint(w->width() / 4, 0));
    };
    EXPECT_EQ(colourInside(headword), QColor(255, 255, 0));
    EXPECT_EQ(colourInside(definition), QColor(255, 255, 0));
}

TEST_P(LayoutTest, WordListIsBlackWithCyanText) {
    controls.lstdata->setItems({QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWW")});
    showForm();
    auto* list = controls.lstdata;
    EXPECT_EQ(list->palette().color(QPalette::Base), QColor(0, 0, 0));
    EXPECT_EQ(list->palette().color(QPalette::Text), QColor(0, 255, 255));
    const QImage image = list->grab().toImage();
    EXPECT_EQ(image.pixelColor(list->width() / 2, list->height() - 10), QColor(0, 0, 0));
    // Somewhere in the first row the text is drawn in cyan.
    const QRect row = list->visualRect(list->model()->index(0, 0)).translated(
        list->viewport()->pos());
    bool cyan = false;
    for (int x = row.left(); x <= row.right() && !cyan; ++x)
        for (int y = row.top(); y <= row.bottom() && !cyan; ++y)
            cyan = image.pixelColor(x, y) == QColor(0, 255, 255);
    EXPECT_TRUE(cyan);
}

TEST_P(LayoutTest, CaptionsFitTheirControlsInTheDesignFont) {
    // The controls have the fixed sizes they were designed with; a caption wider than its
    // control would be cut off.
    EXPECT_EQ(form->font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_DOUBLE_EQ(form->font().pointSizeF(), 8.25);
    const QString resolved = QFontInfo(form->font()).family();
    EXPECT_NE(resolved, QStringLiteral("DejaVu Sans")) << "no narrow substitute font was found";
    for (QWidget* w : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QString text = textOf(w);
        if (text.isEmpty() || qobject_cast<QLineEdit*>(w))
            continue;
        SCOPED_TRACE(w->objectName().toStdString());
        const int margin = qobject_cast<QPushButton*>(w) ? 8 : 0;
        EXPECT_LE(QFontMetrics(w->font()).horizontalAdvance(text) + margin, w->width());
    }
}

TEST_P(LayoutTest, FullTabOrderFollowsTheWindowsTable) {
    QStringList expected;
    if (config().hasScripture())
        expected = {"lstdata", "txtSurname", "txtForename", "txtSearch", "cmdcancel", "cmdsave",
                    "cmdend",  "cmdEdit",    "cmdDelete",   "cmdAdd",    "rtb1",      "Command1"};
    else
        expected = {"Command1", "cmdAdd",    "cmdDelete",   "cmdEdit",    "cmdend", "cmdsave",
                    "cmdcancel", "txtSearch", "txtForename", "txtSurname", "lstdata"};
    QStringList chain;
    QWidget* first = control(expected.first().toLatin1().constData());
    QWidget* w = first;
    do {
        if (w->parentWidget() == form.get() && w->focusPolicy() != Qt::NoFocus)
            chain << w->objectName();
        w = w->nextInFocusChain();
    } while (w != first && chain.size() <= expected.size());
    EXPECT_EQ(chain, expected);
}

TEST_P(LayoutTest, TabVisitsOnlyTheVisibleEnabledControls) {
    showForm();
    if (config().hasScripture())
        EXPECT_EQ(tabThrough(controls.lstdata, 6),
                  (QStringList{"txtSurname", "txtForename", "txtSearch", "rtb1", "Command1",
                               "lstdata"}));
    else
        EXPECT_EQ(tabThrough(controls.txtSearch, 5),
                  (QStringList{"txtForename", "txtSurname", "lstdata", "Command1", "txtSearch"}));
}

TEST_P(LayoutTest, EachLoadBuildsControlsAfreshInTheirInitialState) {
    controls.txtSearch->setText(QStringLiteral("abc"));
    controls.cmdEdit->setEnabled(true);
    auto again = dictwindow::buildDictionaryLayout(config());
    std::unique_ptr<QWidget> second(again.form);
    EXPECT_EQ(again.txtSearch->text(), QStringLiteral("Enter word here..."));
    EXPECT_EQ(again.txtSearch->cursorPosition(), 0);
    EXPECT_FALSE(again.cmdEdit->isEnabled());
    EXPECT_EQ(again.lstdata->ListCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(ThreeWindows, LayoutTest,
                         ::testing::Values(&data::kingJamesConfig(), &data::eastonsConfig(),
                                           &data::hitchcockConfig()),
                         [](const auto& p) { return p.param->windowName.toStdString(); });

TEST(Layout, EastonsDefinitionBoxReachesOverTheScripturePlace) {
    auto eastons = dictwindow::buildDictionaryLayout(data::eastonsConfig());
    std::unique_ptr<QWidget> owner(eastons.form);
    EXPECT_EQ(pixelsToTwips(eastons.txtSurname->geometry().bottom() + 1), 3285);
    auto hitchcock = dictwindow::buildDictionaryLayout(data::hitchcockConfig());
    std::unique_ptr<QWidget> owner2(hitchcock.form);
    EXPECT_EQ(pixelsToTwips(hitchcock.txtSurname->geometry().bottom() + 1), 1605);
    EXPECT_EQ(eastons.form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 13);
    EXPECT_EQ(hitchcock.form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 13);
}

TEST(Twips, FifteenToAPixelRoundedToTheNearest) {
    EXPECT_EQ(platform::twipsToPixels(15), 1);
    EXPECT_EQ(platform::twipsToPixels(6735), 449);
    EXPECT_EQ(platform::twipsToPixels(4600), 307);
    EXPECT_EQ(platform::twipsToPixels(7), 0);
    EXPECT_EQ(platform::twipsToPixels(8), 1);
    EXPECT_EQ(platform::twipsToPixels(-8), -1);
    EXPECT_EQ(platform::pixelsToTwips(QRect(8, 16, 193, 19)), QRect(120, 240, 2895, 285));
}

} // namespace
