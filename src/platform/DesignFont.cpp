#include "platform/DesignFont.h"

#include <QStringList>

namespace tolvane::platform {

QFont designFont(double pointSize, QFont::Weight weight) {
    static const bool substituted = [] {
        QFont::insertSubstitutions(QString::fromLatin1(kDesignFontFamily),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("Arial"),
                                    QStringLiteral("DejaVu Sans Condensed")});
        return true;
    }();
    (void)substituted;
    QFont font(QString::fromLatin1(kDesignFontFamily));
    font.setPointSizeF(pointSize);
    font.setWeight(weight);
    return font;
}

} // namespace tolvane::platform
