// The RTF parser's main loop, its groups, and the reading of control words and escapes.

#include "richtext/RtfParser.h"

#include "richtext/RtfVocabulary.h"

#include <algorithm>
#include <climits>

namespace tolvane::richtext::parsing {

namespace {

// Groups nested deeper than this are read flat: they share their ancestor's state, so a
// hostile document cannot make the state stack grow without bound.
constexpr std::size_t kMaxGroupDepth = 256;

} // namespace

RtfParser::RtfParser(QByteArrayView input, bool highBytesAreUtf8, QTextDocument& document)
    : p_(reinterpret_cast<const unsigned char*>(input.data())), end_(p_ + input.size()),
      highBytesAreUtf8_(highBytesAreUtf8), builder_(document) {}

void RtfParser::run() {
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

// ---- groups ----

void RtfParser::openGroup() {
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

void RtfParser::closeGroup() {
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
void RtfParser::skipRestOfGroup() {
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

// ---- control words and symbols: reading them ----

std::string_view RtfParser::readWord() {
    const unsigned char* start = p_;
    while (p_ < end_ && isLetter(*p_))
        ++p_;
    return {reinterpret_cast<const char*>(start), std::size_t(p_ - start)};
}

// The numeric parameter, saturated to the int range however many digits it has; the
// space that delimits a control word is consumed with it.
int RtfParser::readParam(bool& hasParam) {
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

void RtfParser::skipBinary(int length) {
    const std::ptrdiff_t n = std::min<std::ptrdiff_t>(std::max(length, 0), end_ - p_);
    p_ += n;
}

void RtfParser::readControl() {
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

bool RtfParser::consumeSkipUnit() {
    if (skipUnits_ == 0)
        return false;
    --skipUnits_;
    return true;
}

} // namespace tolvane::richtext::parsing
