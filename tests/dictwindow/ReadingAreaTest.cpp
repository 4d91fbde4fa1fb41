// What the window offers beyond its design table: a reading area that grows with the
// window and comes back to the design, text colours that read under a dark theme, a visible
// focus in the read-only boxes, and names for screen readers.

#include "data/DictionaryConfig.h"
#include "dictwindow/DictionaryLayout.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "platform/Twips.h"
#include "richtext/RichTextBox.h"
#include "support/TestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace tolvane;
using platform::twipsRect;

namespace {

class ReadingAreaTest : public ::testing::TestWithParam<const data::DictionaryConfig*> {
protected:
    void build() {
        c = dictwindow::buildDictionaryLayout(config());
        form.reset(c.form);
    }
    void SetUp() override { build(); }
    const data::DictionaryConfig& config() const { return *GetParam(); }
    std::map<QString, QRect> geometries() const {
        std::map<QString, QRect> g;
        for (QWidget* w : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            g[w->objectName()] = w->geometry();
        return g;
    }
    dictwindow::DictionaryControls c;
    std::unique_ptr<QWidget> form;
};

TEST_P(ReadingAreaTest, GrowsListDownBoxesRightAndDownButtonsWithTheirBoxesAndComesBack) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    const auto designed = geometries();
    const QSize growth(300, 200);
    form->resize(dictwindow::dictionaryFormSize() + growth);
    auto grown = geometries();
    const auto moved = [&](const char* name) {
        const QString n = QString::fromLatin1(name);
        return std::pair{designed.at(n), grown.at(n)};
    };
    auto [list0, list1] = moved("lstdata");
    EXPECT_EQ(list1, list0.adjusted(0, 0, 0, growth.height()));
    auto [head0, head1] = moved("txtForename");
    EXPECT_EQ(head1, head0.adjusted(0, 0, growth.width(), 0));
    auto [def0, def1] = moved("txtSurname");
    EXPECT_EQ(def1.topLeft(), def0.topLeft());
    EXPECT_EQ(def1.width(), def0.width() + growth.width());
    EXPECT_GT(def1.height(), def0.height());
    // Get New Word keeps its place under the lowest box, at the boxes' left edge.
    QWidget* lowest = c.rtb1 ? static_cast<QWidget*>(c.rtb1) : c.txtSurname;
    auto [get0, get1] = moved("Command1");
    EXPECT_EQ(get1.left(), get0.left());
    EXPECT_EQ(get1.top() - lowest->geometry().bottom(),
              get0.top() - (c.rtb1 ? designed.at(QStringLiteral("rtb1")) : def0).bottom());
    if (c.rtb1) {
        EXPECT_EQ(c.rtb1->geometry().bottom(), designed.at(QStringLiteral("rtb1")).bottom() + 200);
        EXPECT_EQ(c.rtb1->width(), designed.at(QStringLiteral("rtb1")).width() + 300);
        EXPECT_LT(def1.bottom(), c.Label3->geometry().top()); // the label stays between
        EXPECT_LE(c.Label3->geometry().bottom(), c.rtb1->geometry().top());
    }
    for (const char* fixed : {"txtSearch", "Label1", "Label2", "cmdAdd", "cmdcancel"})
        EXPECT_EQ(moved(fixed).second, moved(fixed).first) << fixed;

    form->resize(dictwindow::dictionaryFormSize());
    EXPECT_EQ(geometries(), designed);
}

// A dark theme: light text on dark bases. The yellow boxes and the black list keep text
// colours that read on them; the search box follows the theme.
TEST_P(ReadingAreaTest, FixedBackgroundsKeepReadableTextUnderADarkTheme) {
    const QPalette before = QApplication::palette();
    QPalette dark = before;
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Window, QColor(45, 45, 45));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    for (bool themeFirst : {true, false}) {
        SCOPED_TRACE(themeFirst ? "theme set before the window" : "theme changed afterwards");
        QApplication::setPalette(themeFirst ? dark : before);
        build();
        QApplication::setPalette(dark);
        QCoreApplication::processEvents();
        for (QWidget* box :
             {static_cast<QWidget*>(c.txtForename), static_cast<QWidget*>(c.txtSurname)}) {
            EXPECT_EQ(box->palette().color(QPalette::Base), QColor(255, 255, 0));
            EXPECT_EQ(box->palette().color(QPalette::Text), QColor(0, 0, 0));
        }
        EXPECT_EQ(c.lstdata->palette().color(QPalette::Text), QColor(0, 255, 255));
        EXPECT_EQ(c.txtSearch->palette().color(QPalette::Text), QColor(230, 230, 230));
    }
    QApplication::setPalette(before);
}

TEST_P(ReadingAreaTest, AFocusedReadOnlyBoxLooksFocused) {
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    std::vector<QWidget*> boxes{c.txtSurname};
    if (c.rtb1)
        boxes.push_back(c.rtb1);
    for (QWidget* box : boxes) {
        SCOPED_TRACE(box->objectName().toStdString());
        c.txtSearch->setFocus();
        const QImage unfocused = box->grab().toImage();
        box->setFocus();
        ASSERT_TRUE(box->hasFocus());
        EXPECT_NE(box->grab().toImage(), unfocused);
        c.txtSearch->setFocus();
        EXPECT_EQ(box->grab().toImage(), unfocused) << "the mark goes with the focus";
    }
}

TEST_P(ReadingAreaTest, EveryControlHasItsOwnAccessibleNameAndLabelsTheirBoxes) {
    QSet<QString> names;
    for (QWidget* w : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a, nullptr);
        const QString name = a->text(QAccessible::Name);
        if (w->focusPolicy() == Qt::NoFocus)
            continue;
        EXPECT_FALSE(name.isEmpty()) << w->objectName().toStdString();
        EXPECT_FALSE(names.contains(name)) << "shared name " << name.toStdString();
        names.insert(name);
    }
    auto nameOf = [](QWidget* w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    };
    EXPECT_EQ(nameOf(c.txtSearch), QStringLiteral("Enter a Word or Select a Word"));
    EXPECT_EQ(nameOf(c.txtSurname), QStringLiteral("Definition"));
    EXPECT_EQ(c.Label1->buddy(), c.txtSearch);
    EXPECT_EQ(c.Label2->buddy(), c.txtSurname);
    if (c.rtb1) {
        EXPECT_EQ(c.Label3->buddy(), c.rtb1);
    }

    c.lstdata->setItems(
        {QStringLiteral("ABASE"), QStringLiteral("ABIDE"), QStringLiteral("YONDER")});
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(c.lstdata)
                    ->text(QAccessible::Description)
                    .contains(QStringLiteral("3")));
}

INSTANTIATE_TEST_SUITE_P(ThreeWindows, ReadingAreaTest,
                         ::testing::Values(&data::kingJamesConfig(), &data::eastonsConfig(),
                                           &data::hitchcockConfig()),
                         [](const auto& p) { return p.param->windowName.toStdString(); });

} // namespace
