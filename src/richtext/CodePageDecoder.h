#pragma once
// Turns the 8-bit text of an RTF document (\'hh escapes and raw bytes) into Unicode, in the
// Windows code page the document or the current font names. The conversion tables are ICU's.

#include <QByteArrayView>
#include <QString>
#include <array>
#include <map>
#include <memory>

namespace tolvane::richtext {

// Code pages that are not plain numbers.
inline constexpr int kSymbolCodePage = -2; // Symbol font: byte b shows as U+F000 + b (Word's convention)
inline constexpr int kUtf8CodePage = 65001;
inline constexpr int kMacRomanCodePage = 10000;
inline constexpr int kDefaultCodePage = 1252;

// The code page an RTF \fcharsetN implies, or 0 when the charset defers to the document's.
int codePageForCharset(int charset);

// Decodes byte runs for any number of code pages, keeping each conversion table it opened.
// Unknown code pages fall back to 1252; bytes a code page does not define show as U+FFFD,
// except in single-byte pages, where they keep their Latin-1 value as Windows does.
class CodePageDecoder {
public:
    CodePageDecoder();
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;

    void decode(int codePage, QByteArrayView bytes, QString& out);

private:
    struct Table;
    Table& table(int codePage);
    std::map<int, std::unique_ptr<Table>> tables_;
};

// The byte a character has in code page 1252, or -1 when it has none (for the writer).
int cp1252ByteFor(char16_t c);

} // namespace tolvane::richtext
