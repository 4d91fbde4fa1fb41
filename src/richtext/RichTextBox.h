#pragma once
// The scripture box: a text box that takes and gives its whole content either as an RTF
// document in the style of a Windows rich-edit control (TextRTF) or as plain text (Text).
// Setting either property only changes the content; it never emits a signal a window could
// take for a user's edit.

#include <QString>
#include <QTextEdit>

namespace tolvane::richtext {

class RichTextBox : public QTextEdit {
    Q_OBJECT
public:
    explicit RichTextBox(QWidget* parent = nullptr);

    // The whole content as one RTF document; an empty box still gives a complete document.
    QString TextRTF() const;
    // RTF markup (beginning with "{\rtf" after optional white space) replaces the content
    // with what it describes; any other text is shown unchanged as plain text; "" empties.
    void setTextRTF(const QString& value);

    // The plain text of the content: paragraphs joined by "\n".
    QString Text() const;
    // Replaces the content with this plain text.
    void setText(const QString& text);

    // Display zoom in percent (100: the content's own sizes). Every font size of the
    // content is shown scaled, the content given by TextRTF keeps its own sizes, and a
    // later setTextRTF or setText is shown at the same zoom.
    void setZoomPercent(int percent);
    int zoomPercent() const { return m_zoom; }

private:
    void detachCursor();
    void applyZoom();

    int m_zoom = 100;
};

} // namespace tolvane::richtext
