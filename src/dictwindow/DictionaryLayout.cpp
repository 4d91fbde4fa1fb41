// The dictionary window's controls in creation order, each in its place and initial state.
// Measures are in twips, as the window was designed; Twips.h turns them into pixels.

#include "dictwindow/DictionaryLayout.h"

#include "dictwindow/FocusMark.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "platform/DesignFont.h"
#include "platform/Twips.h"
#include "richtext/RichTextBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QWidget>
#include <algorithm>
#include <functional>

namespace tolvane::dictwindow {

using platform::twipsRect;

namespace {

constexpr int kFormWidth = 6735;
constexpr int kFormHeight = 3720;

const QColor kEntryBackground(255, 255, 0); // the headword and definition boxes
const QColor kEntryText(0, 0, 0);           // reads on the yellow whatever the theme
const QColor kListBackground(0, 0, 0);
const QColor kListText(0, 255, 255);

// Controls are created here in the window's stacking order; placeControls gives each its
// place, so every measure is written once.
template <class W> W* place(W* widget, const char* name, QWidget* form) {
    widget->setParent(form);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPushButton* button(const char* name, const QString& caption, QWidget* form, bool visible,
                    bool enabled) {
    auto* b = place(new QPushButton(caption), name, form);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::StrongFocus); // buttons take the keyboard focus on every platform
    b->setEnabled(enabled);
    // Hidden controls are created hidden and stay so: setVisible(false) marks them
    // explicitly hidden, so showing the window never shows them.
    b->setVisible(visible);
    return b;
}

QLabel* label(const char* name, const QString& caption, QWidget* form) {
    auto* l = place(new QLabel(caption), name, form);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setWordWrap(true);
    return l;
}

// A control with a fixed background gets a fixed text colour that reads on it, so that a
// dark desktop theme (light text) leaves it readable; controls without fixed colours follow
// the theme in both.
void setColours(QWidget* w, QPalette::ColorRole backgroundRole, const QColor& background,
                const QColor& text) {
    QPalette p = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, backgroundRole, background);
        p.setColor(group, QPalette::Text, text);
        p.setColor(group, QPalette::PlaceholderText, text);
    }
    w->setPalette(p);
}

// The window's client area. Its designed size is its smallest; a larger one (the main
// window made larger) lets the reading controls grow.
class DictionaryForm final : public QWidget {
public:
    using QWidget::QWidget;
    std::function<void(const QSize&)> resized;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        if (resized)
            resized(event->size());
    }
};

} // namespace

QSize dictionaryFormSize() {
    return platform::twipsSize(kFormWidth, kFormHeight);
}

void placeControls(const DictionaryControls& c, const data::DictionaryConfig& config,
                   const QSize& growth) {
    const int dx = std::max(0, growth.width());
    const int dy = std::max(0, growth.height());
    // The King James window shares the height it gains between its two entry boxes.
    const int definitionGain = config.hasScripture() ? dy / 2 : dy;

    c.txtSearch->setGeometry(twipsRect(120, 240, 2895, 285));
    c.lstdata->setGeometry(twipsRect(120, 960, 2895, 2595).adjusted(0, 0, 0, dy));
    c.Label1->setGeometry(twipsRect(360, 600, 2415, 255));

    c.txtForename->setGeometry(twipsRect(3360, 240, 3255, 285).adjusted(0, 0, dx, 0));
    c.Label2->setGeometry(twipsRect(4560, 600, 735, 255));
    c.txtSurname->setGeometry(
        twipsRect(3360, 840, 3255, config.definitionHeight).adjusted(0, 0, dx, definitionGain));
    if (c.rtb1) {
        c.Label3->setGeometry(twipsRect(4560, 1680, 855, 255).translated(0, definitionGain));
        c.rtb1->setGeometry(twipsRect(3360, 1920, 3255, 1335).adjusted(0, definitionGain, dx, dy));
    }
    // Get New Word stays under the boxes, at their left edge.
    c.Command1->setGeometry(twipsRect(3360, 3360, 1215, 255).translated(0, dy));

    // The editing buttons never show; they keep their designed places.
    c.cmdAdd->setGeometry(twipsRect(1800, 2040, 1215, 255));
    c.cmdDelete->setGeometry(twipsRect(3240, 2040, 1215, 255));
    c.cmdEdit->setGeometry(twipsRect(1800, 2400, 1215, 255));
    c.cmdend->setGeometry(twipsRect(3240, 2400, 1215, 255));
    c.cmdsave->setGeometry(twipsRect(1800, 2760, 1215, 255));
    c.cmdcancel->setGeometry(twipsRect(3240, 2760, 1215, 255));
}

DictionaryControls buildDictionaryLayout(const data::DictionaryConfig& config, QWidget* parent) {
    DictionaryControls c;
    auto* form = new DictionaryForm(parent);
    c.form = form;
    form->setObjectName(config.windowName);
    form->setWindowTitle(config.windowCaption);
    form->setAccessibleName(config.mainCaption);
    form->setFont(platform::designFont());
    form->setMinimumSize(dictionaryFormSize());
    form->resize(dictionaryFormSize());

    c.Command1 = button("Command1", QStringLiteral("Get New Word"), form, true, true);

    if (config.hasScripture()) {
        c.rtb1 = place(new richtext::RichTextBox, "rtb1", form);
        // Tab moves on to the next control, as in every other box of the window.
        c.rtb1->setTabChangesFocus(true);
        markFocus(c.rtb1);
    }

    c.cmdAdd = button("cmdAdd", QStringLiteral("Add New"), form, false, true);
    c.cmdDelete = button("cmdDelete", QStringLiteral("Delete"), form, false, false);
    c.cmdEdit = button("cmdEdit", QStringLiteral("Edit"), form, false, false);
    c.cmdend = button("cmdend", QStringLiteral("End"), form, false, true);
    c.cmdsave = button("cmdsave", QStringLiteral("Save"), form, false, false);
    c.cmdcancel = button("cmdcancel", QStringLiteral("Cancel"), form, false, false);

    c.txtSearch = place(new SearchBox, "txtSearch", form);
    c.txtSearch->setText(QStringLiteral("Enter word here..."));
    // The first activation selects the whole prompt from the start.
    c.txtSearch->setCursorPosition(0);

    c.txtForename = place(new QLineEdit, "txtForename", form);
    c.txtForename->setReadOnly(true);
    setColours(c.txtForename, QPalette::Base, kEntryBackground, kEntryText);
    c.txtForename->setAccessibleName(QStringLiteral("Headword"));

    c.txtSurname = place(new QPlainTextEdit, "txtSurname", form);
    c.txtSurname->setReadOnly(true);
    c.txtSurname->setTabChangesFocus(true);
    c.txtSurname->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    c.txtSurname->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    c.txtSurname->setFont(platform::designFont(9.75));
    setColours(c.txtSurname, QPalette::Base, kEntryBackground, kEntryText);
    // Read-only, but the keyboard can still move and select in it; the caret and the mark
    // around the box show where the focus is.
    c.txtSurname->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    markFocus(c.txtSurname);

    c.lstdata = place(new WordList, "lstdata", form);
    setColours(c.lstdata, QPalette::Base, kListBackground, kListText);
    c.lstdata->setAccessibleName(QStringLiteral("Word list"));

    if (config.hasScripture())
        c.Label3 = label("Label3", QStringLiteral("Scripture"), form);
    c.Label2 = label("Label2", QStringLiteral("Definition"), form);
    c.Label1 = label("Label1", QStringLiteral("Enter a Word or Select a Word"), form);

    // Screen readers name each box after the label tied to it; the others after their text.
    c.Label1->setBuddy(c.txtSearch);
    c.txtSearch->setAccessibleName(c.Label1->text());
    c.Label2->setBuddy(c.txtSurname);
    c.txtSurname->setAccessibleName(c.Label2->text());
    if (c.rtb1) {
        c.Label3->setBuddy(c.rtb1);
        c.rtb1->setAccessibleName(c.Label3->text());
    }
    for (QPushButton* b :
         {c.Command1, c.cmdAdd, c.cmdDelete, c.cmdEdit, c.cmdend, c.cmdsave, c.cmdcancel})
        b->setAccessibleName(b->text());

    placeControls(c, config, QSize());
    form->resized = [c, &config](const QSize& size) {
        placeControls(c, config, size - dictionaryFormSize());
    };

    // Tab order. The King James window runs from the list through the boxes to its buttons;
    // the other two start at Get New Word and end at the list. Hidden and disabled buttons
    // stay in the chain and are skipped while they are so.
    std::vector<QWidget*> order;
    if (config.hasScripture())
        order = {c.lstdata, c.txtSurname, c.txtForename, c.txtSearch, c.cmdcancel, c.cmdsave,
                 c.cmdend,  c.cmdEdit,    c.cmdDelete,   c.cmdAdd,    c.rtb1,      c.Command1};
    else
        order = {c.Command1,  c.cmdAdd,    c.cmdDelete,   c.cmdEdit,    c.cmdend, c.cmdsave,
                 c.cmdcancel, c.txtSearch, c.txtForename, c.txtSurname, c.lstdata};
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    return c;
}

} // namespace tolvane::dictwindow
