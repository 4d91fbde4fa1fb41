#pragma once
// The RTF reader's parser, used only by RtfReader.cpp. One pass over the bytes, with a stack
// of group states; what it reads goes to an RtfDocumentBuilder. Its work is in three files:
// RtfParser.cpp (the main loop, groups and the reading of control words), RtfParserControls.cpp
// (what each control word and symbol does) and RtfParserText.cpp (text, code pages, fonts).

#include "richtext/CodePageDecoder.h"
#include "richtext/RtfDocumentBuilder.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfVocabulary.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QColor>
#include <QList>
#include <QString>

#include <climits>
#include <string_view>
#include <unordered_map>
#include <vector>

class QTextDocument;

// The parser's own types and helpers; nothing outside the reader uses them.
namespace tolvane::richtext::parsing {

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

inline bool isLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
inline int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

inline bool isLeadingSpace(char16_t c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

class RtfParser {
public:
    // `highBytesAreUtf8`: bytes beyond ASCII standing in the input itself are UTF-8 (markup
    // that was held as text), not characters of the document's code page.
    RtfParser(QByteArrayView input, bool highBytesAreUtf8, QTextDocument& document);

    // Reads the whole input into the document.
    void run();

private:
    // groups
    void openGroup();
    void closeGroup();
    // Skips to the brace that closes the current group without reading anything, except
    // that \binN data is passed over by its length and escaped braces do not count.
    void skipRestOfGroup();

    // control words and symbols: reading them
    std::string_view readWord();
    // The numeric parameter, saturated to the int range however many digits it has; the
    // space that delimits a control word is consumed with it.
    int readParam(bool& hasParam);
    void skipBinary(int length);
    void readControl();
    bool consumeSkipUnit();

    // control words and symbols: what they do
    void hexByte(unsigned char b);
    void controlSymbol(unsigned char c);
    void controlWord(RtfWord word, bool hasParam, int param);

    // text
    bool showsText() const { return state_.dest == Destination::Body && !state_.chr.hidden; }
    // A byte of text: `literal` when it stood in the file itself, not as \'hh.
    void text(unsigned char b, bool literal);
    void textByte(unsigned char b, bool literal);
    void flushBytes();
    void unicodeChar(char16_t c);
    void unicode(int param);
    void paragraph();
    // Text after \uN in an 8-bit UTF-8 input: one character is one skip unit.
    void skipUtf8Continuation(unsigned char lead);

    // code pages and fonts
    void codePageChanged() { codePageFont_ = INT_MIN; }
    int currentCodePage();
    void startFontEntry(int number);
    int fontEntryCodePage() const;
    void decodeFontName();
    void commitFontEntry();

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

} // namespace tolvane::richtext::parsing
