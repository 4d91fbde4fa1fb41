#include "richtext/RichTextBox.h"

#include "richtext/PlainText.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>
#include <vector>

namespace {

// Each run's own size, kept on the run while it is shown zoomed (0: the run has no size of
// its own and follows the document's default font).
constexpr int kOwnPointSize = QTextFormat::UserProperty + 1;

struct Run {
    int position;
    int length;
    QTextCharFormat format;
};

std::vector<Run> runsOf(const QTextDocument& document) {
    std::vector<Run> runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            runs.push_back({fragment.position(), fragment.length(), fragment.charFormat()});
        }
    return runs;
}

void setRunFormats(QTextDocument& document, const std::vector<Run>& runs) {
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const Run& run : runs) {
        cursor.setPosition(run.position);
        cursor.setPosition(run.position + run.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(run.format);
    }
    cursor.endEditBlock();
}

double ownPointSize(const QTextCharFormat& format) {
    if (format.hasProperty(kOwnPointSize))
        return format.doubleProperty(kOwnPointSize);
    return format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : 0.0;
}

} // namespace

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

QString RichTextBox::TextRTF() const {
    if (m_zoom == 100)
        return writeRtf(*document());
    // The content as it is, not as it is shown: every run back at its own size.
    std::unique_ptr<QTextDocument> own(document()->clone());
    std::vector<Run> runs = runsOf(*own);
    for (Run& run : runs) {
        const double size = ownPointSize(run.format);
        if (size > 0)
            run.format.setFontPointSize(size);
        else
            run.format.clearProperty(QTextFormat::FontPointSize);
        run.format.clearProperty(kOwnPointSize);
    }
    setRunFormats(*own, runs);
    return writeRtf(*own);
}

void RichTextBox::setZoomPercent(int percent) {
    if (percent <= 0 || percent == m_zoom)
        return;
    m_zoom = percent;
    applyZoom();
}

void RichTextBox::applyZoom() {
    const QSignalBlocker blocker(this);
    const double defaultSize = document()->defaultFont().pointSizeF();
    std::vector<Run> runs = runsOf(*document());
    for (Run& run : runs) {
        const double size = ownPointSize(run.format);
        run.format.setProperty(kOwnPointSize, size);
        run.format.setFontPointSize((size > 0 ? size : defaultSize) * m_zoom / 100.0);
    }
    setRunFormats(*document(), runs);
}

void RichTextBox::setTextRTF(const QString& value) {
    // Setting the content is the program's doing, not the user's: no signal of the box may
    // reach a window's handler.
    const QSignalBlocker blocker(this);
    detachCursor();
    if (isRtf(QStringView(value)))
        readRtf(value, *document());
    else
        setPlainTextContent(*document(), value);
    if (m_zoom != 100)
        applyZoom();
    setTextCursor(QTextCursor(document()));
}

QString RichTextBox::Text() const { return plainText(*document()); }

void RichTextBox::setText(const QString& text) {
    const QSignalBlocker blocker(this);
    detachCursor();
    setPlainTextContent(*document(), text);
    if (m_zoom != 100)
        applyZoom();
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
