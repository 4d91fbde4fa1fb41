#include "richtext/RtfReader.h"

#include "richtext/CodePageDecoder.h"
#include "richtext/PlainText.h"
#include "richtext/RtfDocumentBuilder.h"
#include "richtext/RtfFontName.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfVocabulary.h"

#include <QColor>
#include <QList>
#include <QStringDecoder>
#include <QTextDocument>

#include <algorithm>
#include <climits>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tolvane::richtext {

namespace {

// Groups nested deeper than this are read flat: they share their ancestor's state, so a
// hostile document cannot make the state stack grow without bound.
constexpr std::size_t kMaxGroupDepth = 256;
// \ucN beyond this is nonsense; a large value would only swallow the text after each \u.
constexpr int kMaxUnicodeSkip = 16;
constexpr int kMaxColorComponent = 255;
constexpr int kMaxTableIndex = 1 << 20;

enum class Destination : quint8 {
    Body,       // text is shown
    FontTable,  // text is font names
    ColorTable, // text is ";" separators
    UprOuter,   // \upr: holds an ANSI half and a Unicode half (\*\ud) of the same tables
    UprChild,   // a group inside \upr: only the \ud one is read
};

struct GroupState {
    RtfCharProps chr;
    RtfParaProps para;
    int unicodeSkip = 1;
    Destination dest = Destination::Body;
};

struct FontEntry {
    int codePage = 0; // 0: the document's code page
};

bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isLeadingSpace(char16_t c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

class RtfParser {
public:
    RtfParser(QByteArrayView input, bool highBytesAreUtf8, QTextDocument& document)
        : p_(reinterpret_cast<const unsigned char*>(input.data())), end_(p_ + input.size()),
          highBytesAreUtf8_(highBytesAreUtf8), builder_(document) {}

    void run() {
        // White space may come before "{\rtf"; it is not text of the document.
        while (p_ < end_ && isLeadingSpace(*p_))
            ++p_;
        while (p_ < end_ && !done_) {
            const unsigned char c = *p_;
            switch (c) {
            case '{':
                if (state_.dest == Destination::UprChild) {
                    skipRestOfGroup();
                    break;
                }
                ++p_;
                openGroup();
                break;
            case '}':
                ++p_;
                closeGroup();
                break;
            case '\\':
                ++p_;
                readControl();
                break;
            case '\r':
            case '\n':
            case 0:
                ++p_; // line ends in the file and NUL bytes are not text
                break;
            default:
                ++p_;
                starred_ = false;
                if (skipUnits_ > 0) {
                    --skipUnits_;
                    skipUtf8Continuation(c);
                    break;
                }
                text(c, true);
            }
        }
        flushBytes();
        if (!done_) {
            finalPara_ = state_.para;
            finalChr_ = state_.chr;
        }
        builder_.finish(finalPara_, finalChr_);
    }

private:
    // ---- groups ----

    void openGroup() {
        starred_ = false;
        skipUnits_ = 0;
        if (stack_.size() >= kMaxGroupDepth) {
            ++flatDepth_;
            return;
        }
        stack_.push_back(state_);
        if (state_.dest == Destination::UprOuter)
            state_.dest = Destination::UprChild;
    }

    void closeGroup() {
        starred_ = false;
        skipUnits_ = 0;
        if (flatDepth_ > 0) {
            --flatDepth_;
            return;
        }
        if (stack_.empty()) {
            done_ = true;
            return;
        }
        const GroupState& parent = stack_.back();
        if (state_.dest == Destination::FontTable)
            commitFontEntry();
        if (state_.dest == Destination::ColorTable && parent.dest != Destination::ColorTable)
            builder_.setColors(colors_);
        if (stack_.size() == 1) {
            // The brace that closes {\rtf ends the document; anything after it is ignored.
            flushBytes();
            finalPara_ = state_.para;
            finalChr_ = state_.chr;
            done_ = true;
        }
        state_ = parent;
        stack_.pop_back();
    }

    // Skips to the brace that closes the current group without reading anything, except
    // that \binN data is passed over by its length and escaped braces do not count.
    void skipRestOfGroup() {
        starred_ = false;
        skipUnits_ = 0;
        int depth = 1;
        while (p_ < end_) {
            const unsigned char c = *p_++;
            if (c == '{') {
                ++depth;
            } else if (c == '}') {
                if (--depth == 0) {
                    closeGroup();
                    return;
                }
            } else if (c == '\\' && p_ < end_) {
                if (isLetter(*p_)) {
                    const std::string_view word = readWord();
                    bool hasParam = false;
                    const int param = readParam(hasParam);
                    if (word == "bin")
                        skipBinary(hasParam ? param : 0);
                } else {
                    ++p_;
                }
            }
        }
    }

    // ---- control words and symbols ----

    std::string_view readWord() {
        const unsigned char* start = p_;
        while (p_ < end_ && isLetter(*p_))
            ++p_;
        return {reinterpret_cast<const char*>(start), std::size_t(p_ - start)};
    }

    // The numeric parameter, saturated to the int range however many digits it has; the
    // space that delimits a control word is consumed with it.
    int readParam(bool& hasParam) {
        bool negative = false;
        if (p_ + 1 < end_ && *p_ == '-' && isDigit(p_[1])) {
            negative = true;
            ++p_;
        }
        long long value = 0;
        hasParam = false;
        while (p_ < end_ && isDigit(*p_)) {
            hasParam = true;
            if (value < INT_MAX)
                value = value * 10 + (*p_ - '0');
            ++p_;
        }
        if (p_ < end_ && *p_ == ' ')
            ++p_;
        value = std::min<long long>(value, INT_MAX);
        return int(negative ? -value : value);
    }

    void skipBinary(int length) {
        const std::ptrdiff_t n = std::min<std::ptrdiff_t>(std::max(length, 0), end_ - p_);
        p_ += n;
    }

    void readControl() {
        if (p_ >= end_)
            return;
        const unsigned char c = *p_;
        if (isLetter(c)) {
            const std::string_view word = readWord();
            bool hasParam = false;
            const int param = readParam(hasParam);
            controlWord(lookupRtfWord(word), hasParam, param);
            return;
        }
        ++p_;
        if (c == '\'') {
            int value = 0;
            int digits = 0;
            while (digits < 2 && p_ < end_ && hexValue(*p_) >= 0) {
                value = value * 16 + hexValue(*p_);
                ++p_;
                ++digits;
            }
            if (digits == 2)
                hexByte(static_cast<unsigned char>(value));
            else
                starred_ = false; // a cut-off escape is dropped, not shown half
            return;
        }
        controlSymbol(c);
    }

    bool consumeSkipUnit() {
        if (skipUnits_ == 0)
            return false;
        --skipUnits_;
        return true;
    }

    void hexByte(unsigned char b) {
        starred_ = false;
        if (consumeSkipUnit())
            return;
        if (state_.dest == Destination::UprChild) {
            skipRestOfGroup();
            return;
        }
        text(b, false);
    }

    void controlSymbol(unsigned char c) {
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

    void controlWord(RtfWord word, bool hasParam, int param) {
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

    // ---- text ----

    bool showsText() const { return state_.dest == Destination::Body && !state_.chr.hidden; }

    // A byte of text: `literal` when it stood in the file itself, not as \'hh.
    void text(unsigned char b, bool literal) {
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

    void textByte(unsigned char b, bool literal) {
        const int codePage = (literal && b >= 0x80 && highBytesAreUtf8_) ? kUtf8CodePage
                                                                         : currentCodePage();
        if (!pendingBytes_.isEmpty() && (codePage != pendingCodePage_ || !(state_.chr == pendingProps_)))
            flushBytes();
        pendingCodePage_ = codePage;
        pendingProps_ = state_.chr;
        pendingBytes_.append(char(b));
    }

    void flushBytes() {
        if (pendingBytes_.isEmpty())
            return;
        decoded_.clear();
        decoder_.decode(pendingCodePage_, pendingBytes_, decoded_);
        pendingBytes_.clear();
        builder_.appendText(decoded_, pendingProps_);
    }

    void unicodeChar(char16_t c) {
        if (!showsText())
            return;
        flushBytes();
        builder_.appendUnit(c, state_.chr);
    }

    void unicode(int param) {
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

    void paragraph() {
        if (!showsText())
            return;
        flushBytes();
        builder_.endParagraph(state_.para, state_.chr);
    }

    // Text after \uN in an 8-bit UTF-8 input: one character is one skip unit.
    void skipUtf8Continuation(unsigned char lead) {
        if (!highBytesAreUtf8_ || lead < 0xC0)
            return;
        while (p_ < end_ && (*p_ & 0xC0) == 0x80)
            ++p_;
    }

    // ---- code pages and fonts ----

    void codePageChanged() { codePageFont_ = INT_MIN; }

    int currentCodePage() {
        if (codePageFont_ != state_.chr.font) {
            codePageFont_ = state_.chr.font;
            const int font = state_.chr.font < 0 ? defaultFont_ : state_.chr.font;
            const auto it = fonts_.find(font);
            const int fontPage = it == fonts_.end() ? 0 : it->second.codePage;
            codePage_ = fontPage != 0 ? fontPage : docCodePage_;
        }
        return codePage_;
    }

    void startFontEntry(int number) {
        commitFontEntry();
        inFontEntry_ = true;
        fontNumber_ = std::max(number, 0);
        fontCharset_ = -1;
        fontCodePage_ = 0;
        fontNameBytes_.clear();
        fontName_.clear();
    }

    int fontEntryCodePage() const {
        if (fontCodePage_ > 0)
            return fontCodePage_;
        const int fromCharset = fontCharset_ >= 0 ? codePageForCharset(fontCharset_) : 0;
        return fromCharset;
    }

    void decodeFontName() {
        if (fontNameBytes_.isEmpty())
            return;
        int page = fontEntryCodePage();
        if (page == 0 || page == kSymbolCodePage)
            page = docCodePage_;
        decoder_.decode(page, fontNameBytes_, fontName_);
        fontNameBytes_.clear();
    }

    void commitFontEntry() {
        if (!inFontEntry_)
            return;
        inFontEntry_ = false;
        decodeFontName();
        fonts_[fontNumber_] = FontEntry{fontEntryCodePage()};
        builder_.setFontFamily(fontNumber_, cleanFontName(fontName_));
        codePageChanged();
    }

    const unsigned char* p_;
    const unsigned char* const end_;
    const bool highBytesAreUtf8_;
    RtfDocumentBuilder builder_;
    CodePageDecoder decoder_;

    GroupState state_;
    std::vector<GroupState> stack_;
    int flatDepth_ = 0;
    bool done_ = false;
    bool starred_ = false;
    int skipUnits_ = 0;
    RtfParaProps finalPara_;
    RtfCharProps finalChr_;

    int docCodePage_ = kDefaultCodePage;
    int defaultFont_ = 0;
    std::unordered_map<int, FontEntry> fonts_;
    int codePageFont_ = INT_MIN;
    int codePage_ = kDefaultCodePage;

    bool inFontEntry_ = false;
    int fontNumber_ = 0;
    int fontCharset_ = -1;
    int fontCodePage_ = 0;
    QByteArray fontNameBytes_;
    QString fontName_;

    QList<QColor> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorSet_ = false;

    QByteArray pendingBytes_;
    int pendingCodePage_ = kDefaultCodePage;
    RtfCharProps pendingProps_;
    QString decoded_;
};

} // namespace

bool isRtf(QByteArrayView bytes) {
    qsizetype i = 0;
    while (i < bytes.size() && isLeadingSpace(static_cast<unsigned char>(bytes[i])))
        ++i;
    return bytes.sliced(i).startsWith("{\\rtf");
}

bool isRtf(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && isLeadingSpace(text[i].unicode()))
        ++i;
    return text.sliced(i).startsWith(u"{\\rtf");
}

void readRtf(const QByteArray& rtf, QTextDocument& document) {
    if (!isRtf(QByteArrayView(rtf))) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(rtf);
        if (utf8.hasError()) {
            text.clear();
            CodePageDecoder decoder;
            decoder.decode(kDefaultCodePage, rtf, text);
        }
        setPlainTextContent(document, text);
        return;
    }
    RtfParser(rtf, false, document).run();
}

void readRtf(const QString& rtf, QTextDocument& document) {
    if (!isRtf(QStringView(rtf))) {
        setPlainTextContent(document, rtf);
        return;
    }
    const QByteArray bytes = rtf.toUtf8();
    RtfParser(bytes, true, document).run();
}

} // namespace tolvane::richtext
