#include "data/NumberedKeys.h"

#include "data/DictionaryConfig.h"

#include <QRegularExpression>

namespace tolvane::data {

QString numberedKey(const DictionaryConfig& config, const QString& typed) {
    if (config.keyDigits <= 0)
        return typed;
    static const QRegularExpression number(QStringLiteral("^\\s*[GgHh]?\\s*0*([0-9]+)\\s*$"));
    static const QRegularExpression letter(QStringLiteral("^\\s*[GgHh]\\s*$"));
    // The letter alone, on the way to "G11", stands for every key.
    if (letter.match(typed).hasMatch())
        return QString();
    const auto match = number.match(typed);
    if (!match.hasMatch())
        return typed;
    const QString digits = match.captured(1);
    if (digits.size() > config.keyDigits)
        return digits;
    return digits.rightJustified(config.keyDigits, u'0');
}

void KeyWidth::see(const QString& key) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (!m_numbered)
        return;
    if (!digits.match(key).hasMatch() || (m_width >= 0 && key.size() != m_width)) {
        m_numbered = false;
        return;
    }
    m_width = int(key.size());
}

} // namespace tolvane::data
