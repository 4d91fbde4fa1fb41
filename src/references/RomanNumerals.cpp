#include "references/RomanNumerals.h"

#include <QString>
#include <array>

namespace tolvane::references {

namespace {

int digitValue(char16_t c) {
    switch (c) {
    case u'i':
        return 1;
    case u'v':
        return 5;
    case u'x':
        return 10;
    case u'l':
        return 50;
    case u'c':
        return 100;
    default:
        return 0;
    }
}

// Well-formed means written the standard way; checked by writing the value back.
QString written(int value) {
    static constexpr std::array<std::pair<int, const char16_t*>, 9> kParts{{{100, u"c"},
                                                                            {90, u"xc"},
                                                                            {50, u"l"},
                                                                            {40, u"xl"},
                                                                            {10, u"x"},
                                                                            {9, u"ix"},
                                                                            {5, u"v"},
                                                                            {4, u"iv"},
                                                                            {1, u"i"}}};
    QString text;
    for (const auto& [amount, letters] : kParts)
        for (; value >= amount; value -= amount)
            text += QString::fromUtf16(letters);
    return text;
}

} // namespace

int romanValue(QStringView text) {
    if (text.isEmpty() || text.size() > 12)
        return 0;
    const bool upper = text[0].isUpper();
    int total = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isUpper() != upper)
            return 0;
        const int value = digitValue(text[i].toLower().unicode());
        const int next = i + 1 < text.size() ? digitValue(text[i + 1].toLower().unicode()) : 0;
        if (value == 0)
            return 0;
        total += value < next ? -value : value;
    }
    if (total < 1 || total >= 400 || written(total) != text.toString().toLower())
        return 0;
    return total;
}

int romanValueScannedAsCapitalI(QStringView text) {
    if (text.size() < 2 || text[0] != u'I' || romanValue(text.sliced(1)) == 0)
        return 0; // the letters after the "I" are a lower-case numeral
    if (romanValue(QString(u'i' + text.sliced(1).toString())) != 0)
        return 0; // a lower-case "i" reads as well
    return romanValue(QString(u'l' + text.sliced(1).toString()));
}

} // namespace tolvane::references
