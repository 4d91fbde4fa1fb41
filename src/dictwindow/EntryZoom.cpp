#include "dictwindow/EntryZoom.h"

#include <QSettings>
#include <algorithm>

namespace tolvane::dictwindow::entryzoom {

namespace {
const char* const kKey = "EntryBoxes/zoomPercent";

QSettings settings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Kestrane"),
                     QStringLiteral("Tolvane"));
}
} // namespace

int stored() {
    bool ok = false;
    const int percent = settings().value(QLatin1String(kKey), kDesigned).toInt(&ok);
    return ok && percent >= kSmallest && percent <= kLargest ? percent : kDesigned;
}

void store(int percent) {
    settings().setValue(QLatin1String(kKey), percent);
}

int stepped(int percent, int steps) {
    return std::clamp(percent + steps * kStep, kSmallest, kLargest);
}

} // namespace tolvane::dictwindow::entryzoom
