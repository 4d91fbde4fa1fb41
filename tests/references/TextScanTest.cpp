// The block-at-a-time scan must find the first place wherever it falls: at a block's first or
// last place, across two blocks (a pattern that reads ahead), or in the tail shorter than a
// block.

#include "references/TextScan.h"

#include <QString>
#include <gtest/gtest.h>

namespace tolvane::references {
namespace {

TEST(TextScan, FindsTheFirstPlaceInBlocksAndInTheTail) {
    const auto digit = [](const char16_t* c, qsizetype at) { return char16_t(c[at] - u'0') < 10; };
    for (const qsizetype size : {1, 31, 32, 33, 63, 64, 65, 100}) {
        for (qsizetype at = 0; at < size; ++at) {
            QString text(size, u'x');
            text[at] = u'7';
            if (at + 40 < size)
                text[at + 40] = u'8'; // a later one is not the first
            const auto found =
                scanFor(text, 0, 0, digit, [&](qsizetype p) { return text[p].isDigit(); });
            EXPECT_EQ(found, at) << "size " << size;
            EXPECT_EQ(
                scanFor(text, at + 1, 0, digit, [&](qsizetype p) { return text[p].isDigit(); }),
                at + 40 < size ? at + 40 : size)
                << "from after it, size " << size << " at " << at;
        }
    }
}

TEST(TextScan, APatternReadingAheadIsFoundAcrossBlocksAndNeverReadsPastTheEnd) {
    const auto see = [](const char16_t* c, qsizetype at) {
        return (c[at] == u's') & (c[at + 1] == u'e') & (c[at + 2] == u'e') & (c[at + 3] == u' ');
    };
    for (const qsizetype size : {4, 34, 35, 36, 67, 70}) {
        for (qsizetype at = 0; at + 4 <= size; ++at) {
            QString text(size, u'.');
            text.replace(at, 4, QStringLiteral("see "));
            const auto here = [&](qsizetype p) {
                return p + 3 < text.size() && see(QStringView(text).utf16(), p);
            };
            EXPECT_EQ(scanFor(text, 0, 3, see, here), at) << "size " << size;
        }
        // "see" at the very end, without its space, is no match.
        QString end(size - 3, u'.');
        end += QStringLiteral("see");
        EXPECT_EQ(scanFor(end, 0, 3, see,
                          [&](qsizetype p) {
                              return p + 3 < end.size() && see(QStringView(end).utf16(), p);
                          }),
                  end.size());
    }
}

} // namespace
} // namespace tolvane::references
