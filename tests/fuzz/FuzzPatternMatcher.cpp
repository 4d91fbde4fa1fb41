// libFuzzer target: the LIKE matcher against the plain reference implementation in
// ReferenceLike.h. The input is a pattern and a text, split at the first NUL byte (UTF-8,
// malformed bytes included). Both entry points of the matcher must agree with the reference,
// and every match must start with the pattern's literal prefix.

#include "FuzzRequire.h"
#include "ReferenceLike.h"
#include "engine/CaseFold.h"
#include "engine/Pattern.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1024)
        return 0; // the reference is quadratic
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = bytes.indexOf('\0');
    const QString pattern = QString::fromUtf8(split < 0 ? bytes : bytes.left(split));
    const QByteArray textUtf8 = split < 0 ? QByteArray() : bytes.mid(split + 1);
    // The reference reads UTF-16; malformed UTF-8 is compared only through matches().
    const QString text = QString::fromUtf8(textUtf8);

    const tolvane::engine::LikePattern compiled(pattern);
    const bool expected = tolvane::fuzz::referenceLike(text, pattern);
    const bool viaString = compiled.matches(text);
    require(viaString == expected);
    if (text.toUtf8() == textUtf8)
        require(compiled.matchesUtf8(textUtf8) == expected);
    if (viaString)
        require(tolvane::engine::foldedText(text).startsWith(compiled.literalPrefix()));
    return 0;
}
