#include "support/PlatformFakes.h"

#include <stdexcept>

namespace tolvane::test {

int ScriptedMessageBox::show(const QString& text, int style, const QString& title) {
    calls.push_back({text, style, title});
    if (!answers.empty()) {
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    return style == platform::YesNo ? platform::AnswerNo : platform::AnswerOk;
}

bool RecordingProgramStarter::start(const QUrl& address) {
    started.push_back(address);
    if (throws)
        throw std::runtime_error("no program registered for " + address.toString().toStdString());
    return !fail;
}

PlatformFakes::PlatformFakes() {
    platform::setMessageBoxService(messages);
    platform::setProgramStarter(starter);
    platform::setProgramEnder(ender);
}

PlatformFakes::~PlatformFakes() {
    platform::setMessageBoxService(nullptr);
    platform::setProgramStarter(nullptr);
    platform::setProgramEnder(nullptr);
}

} // namespace tolvane::test
