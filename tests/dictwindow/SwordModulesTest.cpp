// End to end on the SWORD dictionaries Debian packages: each module converted into Easton's
// shape (data.mdb), the window opened on it, every two-letter prefix of its keys typed and a
// hundred random keys clicked, against libsword's own reading of the module in this process.

#include "WindowFixture.h"

#include "dictwindow/SearchBox.h"
#include "import/SwordImport.h"
#include "tools/SwordTestLibrary.h"

#include <QHash>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSet>
#include <random>

namespace tolvane::test {
namespace {

// What the window should show for libsword's rendering: the text without the white space
// around it and with the entity references the module escaped twice read as characters.
QString shownText(QString rendering) {
    rendering.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&apos;"), QStringLiteral("'"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return rendering.trimmed().remove(u'\r');
}

// A row the conversion should store for an entry: its key trimmed, the text shown, and how
// many entries before it have exactly that headword (the k-th of equal list items shows it).
struct Expected {
    QString headword;
    QString text;
    int occurrence;
};

std::vector<Expected> expectedRows(const std::vector<ReferenceEntry>& entries) {
    std::vector<Expected> result;
    QHash<QString, int> seen;
    for (const ReferenceEntry& e : entries) {
        const QString key = e.key.trimmed();
        result.push_back({key, shownText(e.text), seen[key]++});
    }
    return result;
}

// Something left of a tag, an RTF control word or an entity reference.
bool holdsMarkup(const QString& text) {
    static const QRegularExpression markup(
        QStringLiteral("<\\s*/?\\s*[A-Za-z][^>]*>|\\\\par\\b|&#?[A-Za-z0-9]+;"));
    return markup.match(text).hasMatch();
}

class SwordModulesTest : public WindowFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(SwordModulesTest, EveryTwoLetterPrefixAndHundredKeysShowLibswordsText) {
    const QString module = QString::fromLatin1(GetParam());
    TOLVANE_REQUIRE_SWORD_MODULE(module);
    qputenv("SWORD_PATH", kDebianSwordFolder);
    const data::DictionaryConfig& config = data::eastonsConfig();
    import::SwordImportRequest request;
    request.dictionary = &config;
    request.module = module;
    request.output = dir.filePath(config.fileName);
    const import::SwordImportResult result = import::importSword(request);
    qunsetenv("SWORD_PATH");

    const std::vector<ReferenceEntry> entries = libswordEntries(module);
    const std::vector<Expected> expected = expectedRows(entries);
    EXPECT_EQ(result.module.entries, qint64(entries.size()));
    // One row per entry, in the module's order, keys that appear twice too (Nave's: REVERENCE
    // and SIN; Strong's Hebrew: 02200).
    EXPECT_EQ(result.rows, qint64(entries.size()));
    load(config);
    const auto stored = storedRows();
    ASSERT_EQ(stored.size(), expected.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        EXPECT_EQ(stored[i].headword.toString(), expected[i].headword) << "row " << i;
        EXPECT_FALSE(holdsMarkup(stored[i].definition.toString()))
            << expected[i].headword.toStdString() << ": "
            << stored[i].definition.toString().left(300).toStdString();
    }

    QSet<QString> prefixes;
    for (const Expected& e : expected)
        if (e.headword.size() >= 2)
            prefixes.insert(e.headword.left(2).toLower());
    QStringList ordered(prefixes.begin(), prefixes.end());
    ordered.sort();
    for (const QString& prefix : ordered) {
        if (prefix.contains(QRegularExpression(QStringLiteral("[*?#\\[]"))))
            continue; // pattern characters: not a plain prefix
        QStringList words;
        for (const Expected& e : expected)
            if (e.headword.startsWith(prefix, Qt::CaseInsensitive))
                words << e.headword;
        c().txtSearch->setText(prefix);
        EXPECT_EQ(listItems(), listOrderSorted(words)) << "prefix " << prefix.toStdString();
    }

    // A hundred random entries and every entry whose headword an earlier one has, each
    // clicked as the k-th of the list items with its text.
    std::vector<std::size_t> chosen;
    std::mt19937 random(20261207);
    std::uniform_int_distribution<std::size_t> pick(0, expected.size() - 1);
    for (int i = 0; i < 100; ++i)
        chosen.push_back(pick(random));
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (expected[i].occurrence > 0)
            chosen.push_back(i);
    c().txtSearch->setText(QString());
    const QStringList items = listItems();
    for (const std::size_t i : chosen) {
        const Expected& e = expected[i];
        qsizetype item = -1;
        for (int k = 0; k <= e.occurrence; ++k)
            item = items.indexOf(e.headword, item + 1);
        ASSERT_GE(item, 0) << e.headword.toStdString() << " #" << e.occurrence;
        clickItem(int(item));
        EXPECT_EQ(c().txtForename->text(), e.headword);
        // The same words; the lines are the import's own (libsword's plain filters run a
        // module's lines together, the import keeps them).
        EXPECT_EQ(c().txtSurname->toPlainText().simplified(), e.text.simplified())
            << e.headword.toStdString() << " #" << e.occurrence;
    }
    if (module == u"Nave") {
        // Nave's one item a line: its entries keep their lines.
        qsizetype withLines = 0, libswordWithLines = 0;
        for (std::size_t i = 0; i < stored.size(); ++i) {
            withLines += stored[i].definition.toString().contains(u'\n');
            libswordWithLines += expected[i].text.contains(u'\n');
        }
        EXPECT_GT(withLines, qsizetype(stored.size()) / 2);
        EXPECT_GT(withLines, libswordWithLines);
    }
    EXPECT_TRUE(messageLog().isEmpty()) << messageLog().join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(DebianModules, SwordModulesTest,
                         ::testing::Values("Nave", "StrongsGreek", "StrongsHebrew"),
                         [](const auto& p) { return std::string(p.param); });

} // namespace
} // namespace tolvane::test
