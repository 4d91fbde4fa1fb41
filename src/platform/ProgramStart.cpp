#include "platform/ProgramStart.h"

#include <QDesktopServices>

namespace tolvane::platform {

bool DesktopProgramStarter::start(const QUrl& address) {
    // QDesktopServices hands the address to the desktop's opener and returns at once.
    return QDesktopServices::openUrl(address);
}

namespace {
std::shared_ptr<ProgramStarter>& overrideSlot() {
    static std::shared_ptr<ProgramStarter> slot;
    return slot;
}
} // namespace

ProgramStarter& programStarter() {
    static DesktopProgramStarter real;
    if (auto& o = overrideSlot())
        return *o;
    return real;
}

std::shared_ptr<ProgramStarter> setProgramStarter(std::shared_ptr<ProgramStarter> s) {
    return std::exchange(overrideSlot(), std::move(s));
}

void startIgnoringErrors(const QUrl& address) noexcept {
    try {
        (void)programStarter().start(address);
    } catch (...) {
        // Opening the maker's page is a courtesy; a failure is not worth a message.
    }
}

} // namespace tolvane::platform
