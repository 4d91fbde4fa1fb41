#include "richtext/RtfFontName.h"

namespace tolvane::richtext {

QString cleanFontName(const QString& name) {
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            out.append(c);
            out.append(name.at(++i));
        } else if (c.isSurrogate()) {
            out.append(QChar(0xFFFD));
        } else if (c.unicode() >= 0x20 && c != QChar::LineSeparator && c != QChar::ParagraphSeparator &&
                   c.unicode() != 0xFDD0 && c.unicode() != 0xFDD1 && c.unicode() != 0xFFFC) {
            out.append(c);
        }
    }
    return out.trimmed();
}

} // namespace tolvane::richtext
