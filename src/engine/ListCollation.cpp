#include "engine/ListCollation.h"

#include "engine/CaseFold.h"
#include "engine/EngineError.h"

#include <sqlite3.h>
#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/ustring.h>
#include <unicode/uversion.h>

#include <memory>
#include <vector>

namespace tolvane::engine {

namespace {

// Bumped whenever the engine's own rule around the collator changes (the apostrophes).
constexpr int kFoldingRule = 1;

struct CollatorCloser {
    void operator()(UCollator* c) const { ucol_close(c); }
};

UCollator* rootCollator() {
    static const std::unique_ptr<UCollator, CollatorCloser> root = [] {
        UErrorCode status = U_ZERO_ERROR;
        // "" is the root locale: the same order for every user, never the locale's own.
        std::unique_ptr<UCollator, CollatorCloser> c(ucol_open("", &status));
        if (U_SUCCESS(status))
            ucol_setStrength(c.get(), UCOL_SECONDARY);
        if (U_SUCCESS(status))
            ucol_setAttribute(c.get(), UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
        if (U_FAILURE(status))
            throw EngineError(err::InvalidOperation,
                              QStringLiteral("The Unicode collation tables (ICU) cannot be "
                                             "loaded: %1.")
                                  .arg(QLatin1String(u_errorName(status))));
        return c;
    }();
    return root.get();
}

// A collator of each thread's own: an older file's list is sorted and indexed on a thread of
// its own while the window's thread compares texts, and ICU promises nothing for one collator
// shared between threads.
UCollator* collator() {
    thread_local const std::unique_ptr<UCollator, CollatorCloser> own = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<UCollator, CollatorCloser> c(ucol_clone(rootCollator(), &status));
        if (U_FAILURE(status))
            throw EngineError(err::InvalidOperation,
                              QStringLiteral("The Unicode collation tables (ICU) cannot be "
                                             "copied: %1.")
                                  .arg(QLatin1String(u_errorName(status))));
        return c;
    }();
    return own.get();
}

bool isApostropheVariantUnit(char16_t unit) {
    return unit == 0x2019 || unit == 0x2018 || unit == 0x02BC || unit == 0x2032;
}

// The UTF-16 text with its apostrophe variants made straight, in `scratch` when any had to
// change, otherwise the text itself.
QStringView withStraightApostrophes(QStringView text, std::u16string& scratch) {
    qsizetype first = 0;
    while (first < text.size() && !isApostropheVariantUnit(text[first].unicode()))
        ++first;
    if (first == text.size())
        return text;
    scratch.assign(reinterpret_cast<const char16_t*>(text.data()),
                   static_cast<size_t>(text.size()));
    for (size_t i = static_cast<size_t>(first); i < scratch.size(); ++i)
        if (isApostropheVariantUnit(scratch[i]))
            scratch[i] = u'\'';
    return QStringView(scratch.data(), static_cast<qsizetype>(scratch.size()));
}

// UTF-8 lead bytes of the variants: U+2018/2019/2032 are E2 80 xx, U+02BC is CA BC.
bool mayHoldApostropheVariant(QByteArrayView utf8) {
    for (const char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0xE2 || b == 0xCA)
            return true;
    }
    return false;
}

QByteArrayView withStraightApostrophesUtf8(QByteArrayView text, std::string& scratch) {
    if (!mayHoldApostropheVariant(text))
        return text;
    scratch.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const auto* start = p;
        const char32_t cp = decodeUtf8(p, end);
        if (isApostropheVariant(cp))
            scratch.push_back('\'');
        else
            scratch.append(reinterpret_cast<const char*>(start), static_cast<size_t>(p - start));
    }
    return QByteArrayView(scratch.data(), static_cast<qsizetype>(scratch.size()));
}

size_t appendKey(const UChar* text, int32_t length, std::string& out) {
    const size_t at = out.size();
    // Most keys of headwords fit in a few dozen bytes; ask again with the exact size if not.
    size_t capacity = static_cast<size_t>(length) * 4 + 16;
    for (;;) {
        out.resize(at + capacity);
        const int32_t needed =
            ucol_getSortKey(collator(), text, length, reinterpret_cast<uint8_t*>(&out[at]),
                            static_cast<int32_t>(capacity));
        if (needed > 0 && static_cast<size_t>(needed) <= capacity) {
            out.resize(at + static_cast<size_t>(needed));
            return static_cast<size_t>(needed);
        }
        capacity = static_cast<size_t>(needed > 0 ? needed : 0) + 16;
    }
}

int compareCallback(void*, int lengthA, const void* a, int lengthB, const void* b) {
    return compareListOrderUtf8(QByteArrayView(static_cast<const char*>(a), lengthA),
                                QByteArrayView(static_cast<const char*>(b), lengthB));
}

} // namespace

int compareListOrderUtf8(QByteArrayView a, QByteArrayView b) {
    thread_local std::string scratchA, scratchB;
    a = withStraightApostrophesUtf8(a, scratchA);
    b = withStraightApostrophesUtf8(b, scratchB);
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r =
        ucol_strcollUTF8(collator(), a.data(), static_cast<int32_t>(a.size()), b.data(),
                         static_cast<int32_t>(b.size()), &status);
    return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}

int compareListOrder(QStringView a, QStringView b) {
    thread_local std::u16string scratchA, scratchB;
    a = withStraightApostrophes(a, scratchA);
    b = withStraightApostrophes(b, scratchB);
    const UCollationResult r = ucol_strcoll(
        collator(), reinterpret_cast<const UChar*>(a.data()), static_cast<int32_t>(a.size()),
        reinterpret_cast<const UChar*>(b.data()), static_cast<int32_t>(b.size()));
    return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}

size_t appendListSortKey(QStringView text, std::string& out) {
    thread_local std::u16string scratch;
    text = withStraightApostrophes(text, scratch);
    return appendKey(reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()),
                     out);
}

size_t appendListSortKeyUtf8(QByteArrayView text, std::string& out) {
    thread_local std::vector<UChar> utf16;
    utf16.resize(static_cast<size_t>(text.size()) + 1);
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    // Malformed bytes become U+FFFD, so every text has a key.
    u_strFromUTF8WithSub(utf16.data(), static_cast<int32_t>(utf16.size()), &length, text.data(),
                         static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status))
        length = 0;
    for (int32_t i = 0; i < length; ++i)
        if (isApostropheVariantUnit(utf16[static_cast<size_t>(i)]))
            utf16[static_cast<size_t>(i)] = u'\'';
    return appendKey(utf16.data(), length, out);
}

QString listCollationVersion() {
    UVersionInfo collation;
    ucol_getVersion(collator(), collation);
    char collationText[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(collation, collationText);
    UVersionInfo unicode;
    u_getUnicodeVersion(unicode);
    char unicodeText[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(unicode, unicodeText);
    return QStringLiteral("ICU %1, root collation %2, Unicode %3, secondary strength, "
                          "apostrophe rule %4")
        .arg(QLatin1String(U_ICU_VERSION), QLatin1String(collationText), QLatin1String(unicodeText),
             QString::number(kFoldingRule));
}

int registerListCollation(sqlite3* db) {
    return sqlite3_create_collation_v2(db, kListCollation, SQLITE_UTF8, nullptr, compareCallback,
                                       nullptr);
}

} // namespace tolvane::engine
