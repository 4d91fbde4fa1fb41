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

// A headword of the module: its key trimmed, first spelling, and every distinct text of the
// entries whose key is the same in any letter case.
struct Expected {
    QString headword;
    QStringList texts;
};

std::vector<Expected> expectedHeadwords(const std::vector<ReferenceEntry>& entries) {
    std::vector<Expected> result;
    QHash<QString, std::size_t> index;
    for (const ReferenceEntry& e : entries) {
        const QString key = e.key.trimmed();
        const QString text = shownText(e.text);
        auto it = index.find(key.toLower());
        if (it == index.end()) {
            index.insert(key.toLower(), result.size());
            result.push_back({key, {text}});
        } else if (!text.isEmpty() && !result[*it].texts.contains(text)) {
            result[*it].texts << text;
        }
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
    const std::vector<Expected> expected = expectedHeadwords(entries);
    EXPECT_EQ(result.module.entries, qint64(entries.size()));
    // One row per entry; keys that appear twice share one (Nave's: REVERENCE and SIN).
    EXPECT_EQ(result.rows, qint64(expected.size()));
    EXPECT_EQ(qint64(entries.size()) - result.rows, qint64(result.mergedKeys.size()));
    load(config);
    const auto stored = storedRows();
    ASSERT_EQ(stored.size(), expected.size());
    for (const DictRow& row : stored)
        EXPECT_FALSE(holdsMarkup(row.definition.toString()))
            << row.headword.toString().toStdString() << ": "
            << row.definition.toString().left(300).toStdString();

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

    c().txtSearch->setText(QString());
    std::mt19937 random(20261207);
    std::uniform_int_distribution<std::size_t> pick(0, expected.size() - 1);
    for (int i = 0; i < 100; ++i) {
        const Expected& e = expected[pick(random)];
        clickHeadword(e.headword);
        EXPECT_EQ(c().txtForename->text(), e.headword);
        EXPECT_EQ(c().txtSurname->toPlainText(), e.texts.join(QStringLiteral("\n\n")))
            << e.headword.toStdString();
    }
    EXPECT_TRUE(messageLog().isEmpty()) << messageLog().join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(DebianModules, SwordModulesTest,
                         ::testing::Values("Nave", "StrongsGreek", "StrongsHebrew"),
                         [](const auto& p) { return std::string(p.param); });

} // namespace
} // namespace tolvane::test
