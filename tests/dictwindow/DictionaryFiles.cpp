// The rows the window tests open their dictionaries with.

#include "WindowFixture.h"

namespace tolvane::test {

std::vector<DictRow> sampleRows() {
    const QString s = QStringLiteral("Job 1:1");
    return {
        {QStringLiteral("ABASE"), QStringLiteral("to lower"), QStringLiteral("Job 40:11")},
        {QStringLiteral("Bewray"), QStringLiteral("to betray, first"), s},
        {QStringLiteral("abide"), QStringLiteral("to wait for"), QStringLiteral("Acts 20:23")},
        {QStringLiteral("Abate"), QStringLiteral("to beat down"), s},
        {QStringLiteral("BRUIT"), QStringLiteral("a rumour"), QStringLiteral("=")},
        {QStringLiteral("Chapt"), QStringLiteral("chapped"), QStringLiteral("Gen. 1 = 2")},
        {QStringLiteral("Aaron's rod"), QStringLiteral("a rod that budded"), s},
        {QStringLiteral("Bewray"), QStringLiteral("to betray, second"), s},
        {QStringLiteral("ABJECT"), QStringLiteral("cast away"), s},
        {QStringLiteral("1 Esdras"), QStringLiteral("a book"), s},
        {QStringLiteral("Entreat"), QStringLiteral("to treat"), s},
        {QStringLiteral("Dure"), QVariant(), QVariant()},
        {QVariant(), QStringLiteral("a row without a headword"), s},
        {QStringLiteral("yonder"), QStringLiteral("over there"), s},
    };
}

QStringList headwordsBeginningWith(const std::vector<DictRow>& rows, const QString& prefix) {
    QStringList words;
    for (const auto& r : rows)
        if (!r.headword.isNull() && r.headword.toString().startsWith(prefix, Qt::CaseInsensitive))
            words << r.headword.toString();
    return listOrderSorted(words);
}

} // namespace tolvane::test
