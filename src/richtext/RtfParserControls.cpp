// What each RTF control word, control symbol and hex escape does to the parser's state.

#include "richtext/RtfParser.h"

#include "richtext/RtfVocabulary.h"

#include <algorithm>

namespace tolvane::richtext::parsing {

namespace {

// \ucN beyond this is nonsense; a large value would only swallow the text after each \u.
constexpr int kMaxUnicodeSkip = 16;
constexpr int kMaxColorComponent = 255;
constexpr int kMaxTableIndex = 1 << 20;

} // namespace

void RtfParser::hexByte(unsigned char b) {
    starred_ = false;
    if (consumeSkipUnit())
        return;
    if (state_.dest == Destination::UprChild) {
        skipRestOfGroup();
        return;
    }
    text(b, false);
}

void RtfParser::controlSymbol(unsigned char c) {
    if (c == '*') {
        starred_ = true;
        return;
    }
    starred_ = false;
    if (consumeSkipUnit())
        return;
    if (state_.dest == Destination::UprChild) {
        skipRestOfGroup();
        return;
    }
    switch (c) {
    case '\\':
    case '{':
    case '}':
        text(c, true);
        break;
    case '~': unicodeChar(0x00A0); break;
    case '_': unicodeChar(0x2011); break;
    case '\r':
    case '\n': paragraph(); break;
    default: break; // \- (optional hyphen), \: and \| show nothing
    }
}

void RtfParser::controlWord(RtfWord word, bool hasParam, int param) {
    using W = RtfWord;
    const bool wasStarred = starred_;
    starred_ = false;
    if (skipUnits_ > 0) {
        --skipUnits_;
        if (word == W::Bin)
            skipBinary(hasParam ? param : 0);
        return;
    }
    if (state_.dest == Destination::UprChild && word != W::Ud) {
        skipRestOfGroup();
        return;
    }
    if (wasStarred && word != W::Ud && word != W::NestTableProps) {
        // A starred destination this reader does not know: its text is never shown.
        skipRestOfGroup();
        return;
    }
    const bool on = !hasParam || param != 0;
    RtfCharProps& chr = state_.chr;
    RtfParaProps& para = state_.para;
    switch (word) {
    case W::Unknown:
    case W::Rtf:
    case W::NestTableProps:
    case W::Sect:
    case W::Page:
        break;
    case W::Ansi: docCodePage_ = kDefaultCodePage; codePageChanged(); break;
    case W::Mac: docCodePage_ = kMacRomanCodePage; codePageChanged(); break;
    case W::Pc: docCodePage_ = 437; codePageChanged(); break;
    case W::Pca: docCodePage_ = 850; codePageChanged(); break;
    case W::AnsiCpg:
        if (hasParam && param > 0) {
            docCodePage_ = param;
            codePageChanged();
        }
        break;
    case W::Deff:
        defaultFont_ = std::max(param, 0);
        builder_.setDefaultFont(defaultFont_);
        codePageChanged();
        break;
    case W::Uc: state_.unicodeSkip = std::clamp(param, 0, kMaxUnicodeSkip); break;
    case W::U: unicode(param); break;
    case W::Upr: state_.dest = Destination::UprOuter; break;
    case W::Ud: state_.dest = Destination::Body; break;
    case W::Bin: skipBinary(hasParam ? param : 0); break;
    case W::FontTable: state_.dest = Destination::FontTable; break;
    case W::ColorTable: state_.dest = Destination::ColorTable; break;
    case W::F:
        if (state_.dest == Destination::FontTable) {
            startFontEntry(param);
        } else {
            chr.font = std::max(param, 0);
        }
        break;
    case W::FCharset:
        if (state_.dest == Destination::FontTable)
            fontCharset_ = param;
        break;
    case W::Cpg:
        if (state_.dest == Destination::FontTable && param > 0)
            fontCodePage_ = param;
        break;
    case W::Red: red_ = std::clamp(param, 0, kMaxColorComponent); colorSet_ = true; break;
    case W::Green: green_ = std::clamp(param, 0, kMaxColorComponent); colorSet_ = true; break;
    case W::Blue: blue_ = std::clamp(param, 0, kMaxColorComponent); colorSet_ = true; break;
    case W::Par:
    case W::Row:
    case W::NestRow: paragraph(); break;
    case W::Line: unicodeChar(0x2028); break;
    case W::Tab: unicodeChar(u'\t'); break;
    case W::Cell:
    case W::NestCell:
        if (state_.dest == Destination::Body && !chr.hidden) {
            flushBytes();
            builder_.endCell();
        }
        break;
    case W::EmDash: unicodeChar(0x2014); break;
    case W::EnDash: unicodeChar(0x2013); break;
    case W::EmSpace: unicodeChar(0x2003); break;
    case W::EnSpace: unicodeChar(0x2002); break;
    case W::QmSpace: unicodeChar(0x2005); break;
    case W::Bullet: unicodeChar(0x2022); break;
    case W::LQuote: unicodeChar(0x2018); break;
    case W::RQuote: unicodeChar(0x2019); break;
    case W::LDblQuote: unicodeChar(0x201C); break;
    case W::RDblQuote: unicodeChar(0x201D); break;
    case W::Plain: chr = RtfCharProps{}; break;
    case W::B: chr.bold = on; break;
    case W::I: chr.italic = on; break;
    case W::Ul: chr.underline = on; break;
    case W::UlNone: chr.underline = false; break;
    case W::Strike: chr.strike = on; break;
    case W::Hidden: chr.hidden = on; break;
    case W::Fs:
        // Zero and negative sizes keep the previous size.
        if (hasParam && param > 0)
            chr.halfPoints = std::min(param, kMaxHalfPoints);
        break;
    case W::Cf: chr.foreground = std::clamp(param, 0, kMaxTableIndex); break;
    case W::Cb:
    case W::Highlight: chr.background = std::clamp(param, 0, kMaxTableIndex); break;
    case W::Pard: para = RtfParaProps{}; break;
    case W::Ql: para.align = RtfAlign::Left; break;
    case W::Qc: para.align = RtfAlign::Center; break;
    case W::Qr: para.align = RtfAlign::Right; break;
    case W::Qj: para.align = RtfAlign::Justify; break;
    case W::Li: para.leftIndent = clampIndent(param); break;
    case W::Ri: para.rightIndent = clampIndent(param); break;
    case W::Fi: para.firstIndent = clampIndent(param); break;
    case W::Sb: para.spaceBefore = std::clamp(param, 0, kMaxIndentTwips); break;
    case W::Sa: para.spaceAfter = std::clamp(param, 0, kMaxIndentTwips); break;
    case W::SkippedDestination: skipRestOfGroup(); break;
    }
}

} // namespace tolvane::richtext::parsing
