#include "richtext/RtfDocumentBuilder.h"

#include <QTextBlockFormat>
#include <QTextDocument>

namespace tolvane::richtext {

namespace {

constexpr char16_t kLineSeparator = 0x2028;
constexpr char16_t kReplacement = 0xFFFD;

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// QTextCursor::insertText turns CR, LF and U+2029 into new blocks, and QTextDocument keeps
// U+FDD0, U+FDD1 and U+FFFC for frames and objects. Text from a document must not be able to
// forge those, so line ends become line breaks and the markers become U+FFFD; NUL is dropped.
bool needsCleaning(char16_t c) {
    return c < 0x20 ? c != u'\t' : (c == 0x2029 || c == 0xFDD0 || c == 0xFDD1 || c == 0xFFFC);
}

void appendCleaned(QString& out, QStringView text) {
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (!needsCleaning(c)) {
            out.append(qc);
        } else if (c == u'\n' || c == u'\r' || c == 0x2029 || c == 0x0B || c == 0x0C) {
            out.append(QChar(kLineSeparator));
        } else if (c >= 0x20) {
            out.append(QChar(kReplacement));
        } else if (c != 0) {
            out.append(qc); // other C0 controls are harmless text
        }
    }
}

} // namespace

RtfDocumentBuilder::RtfDocumentBuilder(QTextDocument& document)
    : document_(document), cursor_(&document), undoWasEnabled_(document.isUndoRedoEnabled()) {
    // Loading is not an edit the user could undo, and the undo stack would double the cost.
    document_.setUndoRedoEnabled(false);
    // The whole load is one edit, emptying included, as QTextDocument::setHtml does it: a box
    // showing the document lays it out once, from the top and only as far as it is seen,
    // instead of laying out every run as it is inserted.
    cursor_.beginEditBlock();
    document_.clear();
    defaultFamily_ = document_.defaultFont().family();
}

RtfDocumentBuilder::~RtfDocumentBuilder() {
    cursor_.endEditBlock();
    document_.setUndoRedoEnabled(undoWasEnabled_);
}

void RtfDocumentBuilder::setFontFamily(int fontNumber, const QString& family) {
    families_[fontNumber] = family;
    formatCached_ = false;
}

void RtfDocumentBuilder::setColors(const QList<QColor>& colors) {
    colors_ = colors;
    formatCached_ = false;
}

void RtfDocumentBuilder::startPendingBlocks() {
    if (paragraphPending_) {
        flushRun();
        cursor_.insertBlock();
        paragraphPending_ = false;
    }
    if (cellPending_) {
        cellPending_ = false;
        appendText(u"\t", runProps_);
    }
}

void RtfDocumentBuilder::appendText(QStringView text, const RtfCharProps& props) {
    if (text.isEmpty())
        return;
    if (pendingHighSurrogate_)
        flushSurrogate();
    startPendingBlocks();
    if (!run_.isEmpty() && !(props == runProps_))
        flushRun();
    runProps_ = props;
    appendCleaned(run_, text);
}

void RtfDocumentBuilder::appendUnit(char16_t unit, const RtfCharProps& props) {
    if (isLowSurrogate(unit) && pendingHighSurrogate_) {
        const char16_t pair[2] = {pendingHighSurrogate_, unit};
        pendingHighSurrogate_ = 0;
        appendText(QStringView(pair, 2), props);
        return;
    }
    if (pendingHighSurrogate_)
        flushSurrogate();
    if (isHighSurrogate(unit)) {
        pendingHighSurrogate_ = unit;
        surrogateProps_ = props;
        return;
    }
    const char16_t c = isLowSurrogate(unit) ? kReplacement : unit;
    appendText(QStringView(&c, 1), props);
}

void RtfDocumentBuilder::flushSurrogate() {
    pendingHighSurrogate_ = 0;
    const char16_t c = kReplacement;
    appendText(QStringView(&c, 1), surrogateProps_);
}

void RtfDocumentBuilder::endParagraph(const RtfParaProps& para, const RtfCharProps& props) {
    if (pendingHighSurrogate_)
        flushSurrogate();
    cellPending_ = false;
    startPendingBlocks();
    flushRun();
    cursor_.setBlockFormat(blockFormat(para));
    // The paragraph mark's own formatting: it is what an empty paragraph shows and keeps.
    cursor_.setBlockCharFormat(charFormat(props));
    paragraphPending_ = true;
}

void RtfDocumentBuilder::endCell() {
    if (pendingHighSurrogate_)
        flushSurrogate();
    startPendingBlocks();
    cellPending_ = true;
}

void RtfDocumentBuilder::finish(const RtfParaProps& para, const RtfCharProps& props) {
    if (pendingHighSurrogate_)
        flushSurrogate();
    cellPending_ = false;
    if (paragraphPending_) {
        // The document ended with a paragraph mark: that paragraph is already complete.
        flushRun();
        return;
    }
    flushRun();
    cursor_.setBlockFormat(blockFormat(para));
    cursor_.setBlockCharFormat(charFormat(props));
}

void RtfDocumentBuilder::flushRun() {
    if (run_.isEmpty())
        return;
    cursor_.insertText(run_, charFormat(runProps_));
    run_.clear();
}

QTextCharFormat RtfDocumentBuilder::charFormat(const RtfCharProps& props) {
    if (formatCached_ && cachedProps_ == props)
        return cachedFormat_;
    QTextCharFormat f;
    f.setFontWeight(props.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(props.italic);
    f.setFontUnderline(props.underline);
    f.setFontStrikeOut(props.strike);
    f.setFontPointSize(props.halfPoints / 2.0);
    const int fontNumber = props.font < 0 ? defaultFont_ : props.font;
    auto family = families_.find(fontNumber);
    if (family == families_.end())
        family = families_.find(defaultFont_);
    f.setFontFamilies(QStringList{family != families_.end() && !family->second.isEmpty()
                                      ? family->second
                                      : defaultFamily_});
    if (props.foreground > 0 && props.foreground < colors_.size() &&
        colors_.at(props.foreground).isValid())
        f.setForeground(colors_.at(props.foreground));
    if (props.background > 0 && props.background < colors_.size() &&
        colors_.at(props.background).isValid())
        f.setBackground(colors_.at(props.background));
    cachedProps_ = props;
    cachedFormat_ = f;
    formatCached_ = true;
    return f;
}

QTextBlockFormat RtfDocumentBuilder::blockFormat(const RtfParaProps& para) const {
    QTextBlockFormat f;
    switch (para.align) {
    case RtfAlign::Left: break;
    case RtfAlign::Center: f.setAlignment(Qt::AlignHCenter); break;
    case RtfAlign::Right: f.setAlignment(Qt::AlignRight); break;
    case RtfAlign::Justify: f.setAlignment(Qt::AlignJustify); break;
    }
    if (para.leftIndent)
        f.setLeftMargin(twipsToPixels(para.leftIndent));
    if (para.rightIndent)
        f.setRightMargin(twipsToPixels(para.rightIndent));
    if (para.firstIndent)
        f.setTextIndent(twipsToPixels(para.firstIndent));
    if (para.spaceBefore)
        f.setTopMargin(twipsToPixels(para.spaceBefore));
    if (para.spaceAfter)
        f.setBottomMargin(twipsToPixels(para.spaceAfter));
    return f;
}

} // namespace tolvane::richtext
