#include "richtext/CodePageDecoder.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <unordered_map>
#include <vector>

namespace tolvane::richtext {

int codePageForCharset(int charset) {
    switch (charset) {
    case 0: return 1252;
    case 2: return kSymbolCodePage;
    case 77: return kMacRomanCodePage;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0; // 1 (default charset) and anything unknown: the document's code page
    }
}

namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// Illegal or incomplete byte sequences become U+FFFD instead of ICU's default U+001A, which
// would show as an invisible control character.
void U_CALLCONV replaceWithReplacementChar(const void*, UConverterToUnicodeArgs* args, const char*,
                                           int32_t, UConverterCallbackReason reason,
                                           UErrorCode* err) {
    if (reason > UCNV_IRREGULAR)
        return;
    *err = U_ZERO_ERROR;
    static const UChar replacement = 0xFFFD;
    ucnv_cbToUWriteUChars(args, &replacement, 1, 0, err);
}

ConverterPtr openConverter(int codePage) {
    std::vector<std::string> names;
    if (codePage == kUtf8CodePage) {
        names.push_back("UTF-8");
    } else if (codePage == kMacRomanCodePage) {
        names.push_back("macintosh");
    } else {
        const std::string n = std::to_string(codePage);
        names = {"windows-" + n, "cp" + n, "ibm-" + n};
    }
    for (const std::string& name : names) {
        UErrorCode err = U_ZERO_ERROR;
        ConverterPtr conv(ucnv_open(name.c_str(), &err));
        if (U_FAILURE(err) || !conv)
            continue;
        UErrorCode cbErr = U_ZERO_ERROR;
        ucnv_setToUCallBack(conv.get(), replaceWithReplacementChar, nullptr, nullptr, nullptr,
                            &cbErr);
        return conv;
    }
    return {};
}

} // namespace

struct CodePageDecoder::Table {
    // Single-byte pages and the Symbol font decode through a 256-entry table; the others
    // (double-byte East Asian pages, UTF-8) through the ICU converter itself.
    bool singleByte = true;
    std::array<char16_t, 256> chars{};
    ConverterPtr converter;
};

CodePageDecoder::CodePageDecoder() = default;
CodePageDecoder::~CodePageDecoder() = default;

CodePageDecoder::Table& CodePageDecoder::table(int codePage) {
    auto it = tables_.find(codePage);
    if (it != tables_.end())
        return *it->second;

    auto t = std::make_unique<Table>();
    if (codePage == kSymbolCodePage) {
        for (int b = 0; b < 256; ++b)
            t->chars[b] = b < 0x20 ? char16_t(b) : char16_t(0xF000 + b);
    } else {
        ConverterPtr conv = openConverter(codePage);
        if (!conv && codePage != kDefaultCodePage)
            conv = openConverter(kDefaultCodePage);
        if (!conv) {
            for (int b = 0; b < 256; ++b)
                t->chars[b] = char16_t(b);
        } else if (ucnv_getMaxCharSize(conv.get()) == 1) {
            for (int b = 0; b < 256; ++b) {
                const char in = char(b);
                UChar out[4];
                UErrorCode err = U_ZERO_ERROR;
                ucnv_reset(conv.get());
                const int32_t n = ucnv_toUChars(conv.get(), out, 4, &in, 1, &err);
                t->chars[b] = (U_SUCCESS(err) && n == 1 && out[0] != 0xFFFD) ? char16_t(out[0])
                                                                              : char16_t(b);
            }
        } else {
            t->singleByte = false;
            t->converter = std::move(conv);
        }
    }
    Table& ref = *t;
    tables_.emplace(codePage, std::move(t));
    return ref;
}

void CodePageDecoder::decode(int codePage, QByteArrayView bytes, QString& out) {
    if (bytes.isEmpty())
        return;
    Table& t = table(codePage);
    if (t.singleByte) {
        const qsizetype start = out.size();
        out.resize(start + bytes.size());
        char16_t* dst = reinterpret_cast<char16_t*>(out.data()) + start;
        for (const char b : bytes)
            *dst++ = t.chars[static_cast<unsigned char>(b)];
        return;
    }
    UConverter* conv = t.converter.get();
    ucnv_reset(conv);
    // Every byte yields at most two UTF-16 units (ICU's bound for a whole conversion).
    const qsizetype start = out.size();
    out.resize(start + 2 * bytes.size() + 4);
    UChar* target = reinterpret_cast<UChar*>(out.data()) + start;
    UChar* const targetStart = target;
    UChar* const targetLimit = reinterpret_cast<UChar*>(out.data()) + out.size();
    const char* source = bytes.data();
    UErrorCode err = U_ZERO_ERROR;
    ucnv_toUnicode(conv, &target, targetLimit, &source, bytes.data() + bytes.size(), nullptr,
                   true, &err);
    out.resize(start + (target - targetStart));
}

int cp1252ByteFor(char16_t c) {
    if (c < 0x80)
        return c;
    static const std::unordered_map<char16_t, unsigned char> reverse = [] {
        std::unordered_map<char16_t, unsigned char> map;
        CodePageDecoder decoder;
        for (int b = 0x80; b < 0x100; ++b) {
            QString s;
            const char byte = char(b);
            decoder.decode(kDefaultCodePage, QByteArrayView(&byte, 1), s);
            if (s.size() == 1)
                map.emplace(s.at(0).unicode(), static_cast<unsigned char>(b));
        }
        return map;
    }();
    const auto it = reverse.find(c);
    return it == reverse.end() ? -1 : it->second;
}

} // namespace tolvane::richtext
