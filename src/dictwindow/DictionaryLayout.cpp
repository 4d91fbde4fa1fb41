// The dictionary window's controls in creation order, each in its place and initial state.
// Measures are in twips, as the window was designed; Twips.h turns them into pixels.

#include "dictwindow/DictionaryLayout.h"

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
#include <QWidget>

namespace tolvane::dictwindow {

using platform::twipsRect;

namespace {

constexpr int kFormWidth = 6735;
constexpr int kFormHeight = 3720;

const QColor kEntryBackground(255, 255, 0); // the headword and definition boxes
const QColor kListBackground(0, 0, 0);
const QColor kListText(0, 255, 255);

template <class W>
W* place(W* widget, const char* name, QWidget* form, int left, int top, int width, int height) {
    widget->setParent(form);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(twipsRect(left, top, width, height));
    return widget;
}

QPushButton* button(const char* name, const QString& caption, QWidget* form, int left, int top,
                    bool visible, bool enabled) {
    auto* b = place(new QPushButton(caption), name, form, left, top, 1215, 255);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::StrongFocus); // buttons take the keyboard focus on every platform
    b->setEnabled(enabled);
    // Hidden controls are created hidden and stay so: setVisible(false) marks them
    // explicitly hidden, so showing the window never shows them.
    b->setVisible(visible);
    return b;
}

QLabel* label(const char* name, const QString& caption, QWidget* form, int left, int top,
              int width) {
    auto* l = place(new QLabel(caption), name, form, left, top, width, 255);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setWordWrap(true);
    return l;
}

void setColours(QWidget* w, QPalette::ColorRole backgroundRole, const QColor& background,
                const QColor* text = nullptr) {
    QPalette p = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, backgroundRole, background);
        if (text)
            p.setColor(group, QPalette::Text, *text);
    }
    w->setPalette(p);
}

} // namespace

DictionaryControls buildDictionaryLayout(const data::DictionaryConfig& config, QWidget* parent) {
    DictionaryControls c;
    auto* form = new QWidget(parent);
    c.form = form;
    form->setObjectName(config.windowName);
    form->setWindowTitle(config.windowCaption);
    form->setFont(platform::designFont());
    form->setFixedSize(platform::twipsSize(kFormWidth, kFormHeight));

    c.Command1 = button("Command1", QStringLiteral("Get New Word"), form, 3360, 3360, true, true);

    if (config.hasScripture()) {
        c.rtb1 = place(new richtext::RichTextBox, "rtb1", form, 3360, 1920, 3255, 1335);
        // Tab moves on to the next control, as in every other box of the window.
        c.rtb1->setTabChangesFocus(true);
    }

    c.cmdAdd = button("cmdAdd", QStringLiteral("Add New"), form, 1800, 2040, false, true);
    c.cmdDelete = button("cmdDelete", QStringLiteral("Delete"), form, 3240, 2040, false, false);
    c.cmdEdit = button("cmdEdit", QStringLiteral("Edit"), form, 1800, 2400, false, false);
    c.cmdend = button("cmdend", QStringLiteral("End"), form, 3240, 2400, false, true);
    c.cmdsave = button("cmdsave", QStringLiteral("Save"), form, 1800, 2760, false, false);
    c.cmdcancel = button("cmdcancel", QStringLiteral("Cancel"), form, 3240, 2760, false, false);

    c.txtSearch = place(new SearchBox, "txtSearch", form, 120, 240, 2895, 285);
    c.txtSearch->setText(QStringLiteral("Enter word here..."));
    // The first activation selects the whole prompt from the start.
    c.txtSearch->setCursorPosition(0);

    c.txtForename = place(new QLineEdit, "txtForename", form, 3360, 240, 3255, 285);
    c.txtForename->setReadOnly(true);
    setColours(c.txtForename, QPalette::Base, kEntryBackground);

    c.txtSurname =
        place(new QPlainTextEdit, "txtSurname", form, 3360, 840, 3255, config.definitionHeight);
    c.txtSurname->setReadOnly(true);
    c.txtSurname->setTabChangesFocus(true);
    c.txtSurname->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    c.txtSurname->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    c.txtSurname->setFont(platform::designFont(9.75));
    setColours(c.txtSurname, QPalette::Base, kEntryBackground);

    c.lstdata = place(new WordList, "lstdata", form, 120, 960, 2895, 2595);
    setColours(c.lstdata, QPalette::Base, kListBackground, &kListText);

    if (config.hasScripture())
        c.Label3 = label("Label3", QStringLiteral("Scripture"), form, 4560, 1680, 855);
    c.Label2 = label("Label2", QStringLiteral("Definition"), form, 4560, 600, 735);
    c.Label1 =
        label("Label1", QStringLiteral("Enter a Word or Select a Word"), form, 360, 600, 2415);

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
