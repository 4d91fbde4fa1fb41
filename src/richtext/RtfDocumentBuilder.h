#pragma once
// Builds a QTextDocument from the text and formatting the RTF reader produces: it gathers
// text of one formatting into runs, turns paragraph and cell ends into blocks and tabs, and
// keeps the document free of characters QTextDocument gives a structural meaning.

#include "richtext/RtfFormat.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>
#include <unordered_map>

class QTextDocument;

namespace tolvane::richtext {

class RtfDocumentBuilder {
public:
    // Empties the document and opens one edit of it, which the destructor closes: the content
    // is added by the calls below, and a view of the document lays it out once, afterwards.
    explicit RtfDocumentBuilder(QTextDocument& document);
    ~RtfDocumentBuilder();
    RtfDocumentBuilder(const RtfDocumentBuilder&) = delete;
    RtfDocumentBuilder& operator=(const RtfDocumentBuilder&) = delete;

    void setFontFamily(int fontNumber, const QString& family);
    void setDefaultFont(int fontNumber) { defaultFont_ = fontNumber; }
    void setColors(const QList<QColor>& colors);

    void appendText(QStringView text, const RtfCharProps& props);
    // One UTF-16 unit from \uN: surrogate halves are paired here, a lone half shows as U+FFFD.
    void appendUnit(char16_t unit, const RtfCharProps& props);
    // Ends the current paragraph with these properties. A break at the very end of the
    // document starts no new paragraph, as in a rich-edit control.
    void endParagraph(const RtfParaProps& para, const RtfCharProps& props);
    // A table cell ends: a tab separates it from the next cell of the row.
    void endCell();
    // Finishes the last paragraph.
    void finish(const RtfParaProps& para, const RtfCharProps& props);

private:
    void flushRun();
    void flushSurrogate();
    void startPendingBlocks();
    QTextCharFormat charFormat(const RtfCharProps& props);
    QTextBlockFormat blockFormat(const RtfParaProps& para) const;

    QTextDocument& document_;
    QTextCursor cursor_;
    bool undoWasEnabled_;
    std::unordered_map<int, QString> families_;
    QList<QColor> colors_;
    int defaultFont_ = 0;
    QString defaultFamily_;

    QString run_;
    RtfCharProps runProps_;
    char16_t pendingHighSurrogate_ = 0;
    RtfCharProps surrogateProps_;
    bool paragraphPending_ = false;
    bool cellPending_ = false;

    bool formatCached_ = false;
    RtfCharProps cachedProps_;
    QTextCharFormat cachedFormat_;
};

} // namespace tolvane::richtext
