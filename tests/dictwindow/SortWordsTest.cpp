// The word list's batch sort (by sort keys compared with memcmp) must give exactly the list's
// own order (the collation compared text to text), ties and letters outside the basic plane
// included.

#include "dictwindow/WordListModel.h"

#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace tolvane::dictwindow {
namespace {

TEST(SortWords, GivesTheListsOwnOrderOnMixedCaseDuplicatesAndSurrogates) {
    const QStringList alphabet{QStringLiteral("a"),
                               QStringLiteral("A"),
                               QStringLiteral("b"),
                               QStringLiteral("B"),
                               QStringLiteral("-"),
                               QStringLiteral(" "),
                               QStringLiteral("ß"),
                               QStringLiteral("É"),
                               QStringLiteral("é"),
                               QString::fromUcs4(U"\U00010400"),
                               QString::fromUcs4(U"\U00010428"),
                               QStringLiteral("z")};
    std::mt19937 random(7);
    std::uniform_int_distribution<int> length(0, 7);
    std::uniform_int_distribution<int> pick(0, int(alphabet.size()) - 1);
    QStringList words;
    for (int i = 0; i < 20000; ++i) {
        QString w;
        for (int n = length(random); n > 0; --n)
            w += alphabet.at(pick(random));
        words << w;
    }
    QStringList expected = words;
    std::stable_sort(expected.begin(), expected.end(), wordListLess);
    sortWords(words);
    EXPECT_EQ(words, expected);
}

} // namespace
} // namespace tolvane::dictwindow
