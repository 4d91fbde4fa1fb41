// libFuzzer target: the Scripture reference finder and the entry pointers on any text. Every
// span lies inside the text, in order, never overlapping another. The first line is the
// headword, the rest the entry; the entry is copied into a buffer of exactly its size, so
// that AddressSanitizer stops a look before its first character or past its last.

#include "FuzzRequire.h"
#include "references/EntryPointers.h"
#include "references/ReferenceFinder.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

template <typename Span> void requireInOrderApart(const std::vector<Span>& spans, qsizetype size) {
    qsizetype free = 0;
    for (const Span& s : spans) {
        require(s.start >= free && s.length > 0 && s.start + s.length <= size);
        free = s.start + s.length;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype newline = input.indexOf(u'\n');
    const QString headword = newline < 0 ? QString() : input.first(newline);
    const QString entry = newline < 0 ? input : input.sliced(newline + 1);

    const auto chars = std::make_unique<char16_t[]>(std::size_t(entry.size()));
    std::copy(entry.utf16(), entry.utf16() + entry.size(), chars.get());
    const QStringView text(chars.get(), entry.size());

    requireInOrderApart(tolvane::references::findReferences(text, headword), text.size());
    // Every name a headword: as many pointers as the text can give.
    requireInOrderApart(
        tolvane::references::findEntryPointers(text, [](const QString& name) { return name; }),
        text.size());
    return 0;
}
