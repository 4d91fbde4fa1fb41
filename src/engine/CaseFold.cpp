#include "engine/CaseFold.h"

#include <unordered_map>

namespace tolvane::engine {

namespace {

// Bumped whenever foldCase changes beyond the Unicode tables (2: apostrophes).
constexpr int kFoldingRule = 2;

// Every code point that folding changes, listed under the code point it folds to. Built once
// by walking all of Unicode (a few milliseconds); about 1,400 entries.
const std::unordered_map<char32_t, std::vector<char32_t>>& changedByFolding() {
    static const auto table = [] {
        std::unordered_map<char32_t, std::vector<char32_t>> byFolded;
        for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
            const char32_t folded = foldCase(cp);
            if (folded != cp)
                byFolded[folded].push_back(cp);
        }
        return byFolded;
    }();
    return table;
}

} // namespace

const std::vector<char32_t>* codePointsFoldingTo(char32_t folded) {
    const auto& table = changedByFolding();
    const auto found = table.find(folded);
    return found == table.end() ? nullptr : &found->second;
}

QString caseFoldVersion() {
    return QStringLiteral("case folding rule %1, Qt %2 Unicode tables %3")
        .arg(QString::number(kFoldingRule), QLatin1String(qVersion()),
             QString::number(static_cast<int>(QChar::currentUnicodeVersion())));
}

char32_t decodeUtf8(const unsigned char*& p, const unsigned char* end) noexcept {
    const unsigned char lead = *p++;
    if (lead < 0x80)
        return lead;
    int extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0xDC00 + lead;
    }
    if (end - p < extra)
        return 0xDC00 + lead;
    for (int i = 0; i < extra; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0xDC00 + lead;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF)
        return 0xDC00 + lead;
    p += extra;
    return cp;
}

int compareFoldedUtf8(QByteArrayView a, QByteArrayView b) noexcept {
    auto pa = reinterpret_cast<const unsigned char*>(a.data());
    auto pb = reinterpret_cast<const unsigned char*>(b.data());
    const auto* ea = pa + a.size();
    const auto* eb = pb + b.size();
    while (pa < ea && pb < eb) {
        // Fast path: both ASCII.
        if (*pa < 0x80 && *pb < 0x80) {
            const char32_t ca = foldCase(*pa++);
            const char32_t cb = foldCase(*pb++);
            if (ca != cb)
                return ca < cb ? -1 : 1;
            continue;
        }
        const char32_t ca = foldCase(decodeUtf8(pa, ea));
        const char32_t cb = foldCase(decodeUtf8(pb, eb));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (pa < ea)
        return 1;
    if (pb < eb)
        return -1;
    return 0;
}

std::u32string foldedCodePoints(QStringView text) {
    std::u32string out;
    out.reserve(static_cast<size_t>(text.size()));
    forEachCodePoint(text, [&](char32_t cp) { out.push_back(foldCase(cp)); });
    return out;
}

QString foldedText(QStringView text) {
    const std::u32string folded = foldedCodePoints(text);
    return QString::fromUcs4(folded.data(), static_cast<qsizetype>(folded.size()));
}

bool equalFolded(QStringView a, QStringView b) {
    return foldedCodePoints(a) == foldedCodePoints(b);
}

} // namespace tolvane::engine
