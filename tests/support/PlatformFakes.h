#pragma once
// Recording stand-ins for the platform seams. Install them with a PlatformFakes object for
// the length of a test; its destructor restores the real services.

#include "platform/MessageBox.h"
#include "platform/ProgramEnd.h"
#include "platform/ProgramStart.h"

#include <QString>
#include <QUrl>
#include <deque>
#include <memory>
#include <vector>

namespace tolvane::test {

struct MessageCall {
    QString text;
    int style;
    QString title;
};

// Records each message box and answers from a queue; with an empty queue it answers OK
// (styles 0 and 16) or No (style 4), so an unexpected question never deletes anything.
class ScriptedMessageBox final : public platform::MessageBoxService {
public:
    int show(const QString& text, int style, const QString& title) override;
    void queueAnswer(int answer) { answers.push_back(answer); }

    std::vector<MessageCall> calls;
    std::deque<int> answers;
};

class RecordingProgramStarter final : public platform::ProgramStarter {
public:
    bool start(const QUrl& address) override;
    std::vector<QUrl> started;
    bool fail = false;   // answer false, as when no opener is registered
    bool throws = false; // throw, as a broken desktop integration might
};

class RecordingProgramEnder final : public platform::ProgramEnder {
public:
    void endProgram() override { ++ends; }
    int ends = 0;
};

class PlatformFakes {
public:
    PlatformFakes();
    ~PlatformFakes();
    PlatformFakes(const PlatformFakes&) = delete;
    PlatformFakes& operator=(const PlatformFakes&) = delete;

    std::shared_ptr<ScriptedMessageBox> messages = std::make_shared<ScriptedMessageBox>();
    std::shared_ptr<RecordingProgramStarter> starter = std::make_shared<RecordingProgramStarter>();
    std::shared_ptr<RecordingProgramEnder> ender = std::make_shared<RecordingProgramEnder>();
};

} // namespace tolvane::test
