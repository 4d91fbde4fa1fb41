#include "platform/ProgramEnd.h"

#include <QApplication>
#include <QWidget>

namespace tolvane::platform {

void QtProgramEnder::endProgram() {
    // Hide every window first so nothing is seen or clicked while the event loop winds
    // down, then leave the loop; main() returns and the process ends.
    for (QWidget* w : QApplication::topLevelWidgets())
        w->hide();
    QCoreApplication::exit(0);
}

namespace {
std::shared_ptr<ProgramEnder>& overrideSlot() {
    static std::shared_ptr<ProgramEnder> slot;
    return slot;
}
} // namespace

ProgramEnder& programEnder() {
    static QtProgramEnder real;
    if (auto& o = overrideSlot())
        return *o;
    return real;
}

std::shared_ptr<ProgramEnder> setProgramEnder(std::shared_ptr<ProgramEnder> s) {
    return std::exchange(overrideSlot(), std::move(s));
}

} // namespace tolvane::platform
