// The RTF parser's text: bytes decoded by code page into runs, Unicode escapes, paragraph
// ends, and the font table that gives each font its code page.

#include "richtext/RtfParser.h"

#include "richtext/RtfFontName.h"

#include <algorithm>

namespace tolvane::richtext::parsing {

// ---- text ----

// A byte of text: `literal` when it stood in the file itself, not as \'hh.
void RtfParser::text(unsigned char b, bool literal) {
    switch (state_.dest) {
    case Destination::Body:
        if (!state_.chr.hidden)
            textByte(b, literal);
        break;
    case Destination::FontTable:
        if (b == ';' && literal)
            commitFontEntry();
        else if (inFontEntry_)
            fontNameBytes_.append(char(b));
        break;
    case Destination::ColorTable:
        if (b == ';' && literal) {
            colors_.append(colorSet_ ? QColor(red_, green_, blue_) : QColor());
            red_ = green_ = blue_ = 0;
            colorSet_ = false;
        }
        break;
    case Destination::UprOuter: break;
    case Destination::UprChild: skipRestOfGroup(); break;
    }
}

void RtfParser::textByte(unsigned char b, bool literal) {
    const int codePage = (literal && b >= 0x80 && highBytesAreUtf8_) ? kUtf8CodePage
                                                                     : currentCodePage();
    if (!pendingBytes_.isEmpty() &&
        (codePage != pendingCodePage_ || !(state_.chr == pendingProps_)))
        flushBytes();
    pendingCodePage_ = codePage;
    pendingProps_ = state_.chr;
    pendingBytes_.append(char(b));
}

void RtfParser::flushBytes() {
    if (pendingBytes_.isEmpty())
        return;
    decoded_.clear();
    decoder_.decode(pendingCodePage_, pendingBytes_, decoded_);
    pendingBytes_.clear();
    builder_.appendText(decoded_, pendingProps_);
}

void RtfParser::unicodeChar(char16_t c) {
    if (!showsText())
        return;
    flushBytes();
    builder_.appendUnit(c, state_.chr);
}

void RtfParser::unicode(int param) {
    int value = param < 0 ? param + 65536 : param;
    if (value < 0 || value > 0xFFFF)
        value = 0xFFFD;
    if (state_.dest == Destination::FontTable && inFontEntry_) {
        decodeFontName();
        fontName_.append(QChar(char16_t(value)));
    } else {
        unicodeChar(char16_t(value));
    }
    skipUnits_ = state_.unicodeSkip;
}

void RtfParser::paragraph() {
    if (!showsText())
        return;
    flushBytes();
    builder_.endParagraph(state_.para, state_.chr);
}

// Text after \uN in an 8-bit UTF-8 input: one character is one skip unit.
void RtfParser::skipUtf8Continuation(unsigned char lead) {
    if (!highBytesAreUtf8_ || lead < 0xC0)
        return;
    while (p_ < end_ && (*p_ & 0xC0) == 0x80)
        ++p_;
}

// ---- code pages and fonts ----

int RtfParser::currentCodePage() {
    if (codePageFont_ != state_.chr.font) {
        codePageFont_ = state_.chr.font;
        const int font = state_.chr.font < 0 ? defaultFont_ : state_.chr.font;
        const auto it = fonts_.find(font);
        const int fontPage = it == fonts_.end() ? 0 : it->second.codePage;
        codePage_ = fontPage != 0 ? fontPage : docCodePage_;
    }
    return codePage_;
}

void RtfParser::startFontEntry(int number) {
    commitFontEntry();
    inFontEntry_ = true;
    fontNumber_ = std::max(number, 0);
    fontCharset_ = -1;
    fontCodePage_ = 0;
    fontNameBytes_.clear();
    fontName_.clear();
}

int RtfParser::fontEntryCodePage() const {
    if (fontCodePage_ > 0)
        return fontCodePage_;
    const int fromCharset = fontCharset_ >= 0 ? codePageForCharset(fontCharset_) : 0;
    return fromCharset;
}

void RtfParser::decodeFontName() {
    if (fontNameBytes_.isEmpty())
        return;
    int page = fontEntryCodePage();
    if (page == 0 || page == kSymbolCodePage)
        page = docCodePage_;
    decoder_.decode(page, fontNameBytes_, fontName_);
    fontNameBytes_.clear();
}

void RtfParser::commitFontEntry() {
    if (!inFontEntry_)
        return;
    inFontEntry_ = false;
    decodeFontName();
    fonts_[fontNumber_] = FontEntry{fontEntryCodePage()};
    builder_.setFontFamily(fontNumber_, cleanFontName(fontName_));
    codePageChanged();
}

} // namespace tolvane::richtext::parsing
