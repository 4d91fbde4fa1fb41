#include "richtext/RichTextBox.h"

#include "richtext/PlainText.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>

namespace tolvane::richtext {

RichTextBox::RichTextBox(QWidget* parent) : QTextEdit(parent) {
    // The box shows scripture references to read and copy: the text cannot be changed by
    // typing, but it can be selected with mouse and keyboard, and the box keeps its place in
    // the tab order. Long references wrap and scroll vertically; the frame is the usual
    // sunken text-box border.
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::StrongFocus);
    setTabChangesFocus(true);
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

QString RichTextBox::TextRTF() const { return writeRtf(*document()); }

void RichTextBox::setTextRTF(const QString& value) {
    // Setting the content is the program's doing, not the user's: no signal of the box may
    // reach a window's handler.
    const QSignalBlocker blocker(this);
    detachCursor();
    if (isRtf(QStringView(value)))
        readRtf(value, *document());
    else
        setPlainTextContent(*document(), value);
    setTextCursor(QTextCursor(document()));
}

QString RichTextBox::Text() const { return plainText(*document()); }

void RichTextBox::setText(const QString& text) {
    const QSignalBlocker blocker(this);
    detachCursor();
    setPlainTextContent(*document(), text);
    setTextCursor(QTextCursor(document()));
}

void RichTextBox::detachCursor() {
    // The box's own cursor would ride along with every insertion to the end of the new
    // content, and putting it back at the top afterwards would have the whole document laid
    // out just to find where it had been. Without a cursor during the load (as QTextEdit
    // holds none while it loads HTML) only what is on screen is laid out.
    setTextCursor(QTextCursor());
}

} // namespace tolvane::richtext
