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

private:
    void detachCursor();
};

} // namespace tolvane::richtext
