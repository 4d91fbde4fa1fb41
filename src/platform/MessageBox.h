#pragma once
// Modal message boxes behind one seam: the windows call msgBox(text, style, title) and get
// the number of the button pressed. Tests install a scripted service that records each call
// and answers from a queue, so no real modal dialog ever opens under test.

#include <QString>
#include <memory>

namespace tolvane::platform {

// Button styles and answers, numbered as the windows expect them.
enum MsgStyle : int { OkOnly = 0, YesNo = 4, Critical = 16 };
enum MsgAnswer : int { AnswerOk = 1, AnswerYes = 6, AnswerNo = 7 };

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual int show(const QString& text, int style, const QString& title) = 0;
};

// The real one: a QMessageBox with the buttons and icon the style asks for.
class QtMessageBoxService final : public MessageBoxService {
public:
    int show(const QString& text, int style, const QString& title) override;
};

// The service in use; the real one unless a test installed another.
MessageBoxService& messageBoxService();
// Installs a service (nullptr restores the real one). Returns the previous override.
std::shared_ptr<MessageBoxService> setMessageBoxService(std::shared_ptr<MessageBoxService> s);

inline int msgBox(const QString& text, int style, const QString& title) {
    return messageBoxService().show(text, style, title);
}

} // namespace tolvane::platform
