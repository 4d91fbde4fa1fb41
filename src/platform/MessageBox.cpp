#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace tolvane::platform {

int QtMessageBoxService::show(const QString& text, int style, const QString& title) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(text);
    if (style == YesNo) {
        box.setIcon(QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? AnswerYes : AnswerNo;
    }
    box.setIcon(style == Critical ? QMessageBox::Critical : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return AnswerOk;
}

namespace {
std::shared_ptr<MessageBoxService>& overrideSlot() {
    static std::shared_ptr<MessageBoxService> slot;
    return slot;
}
} // namespace

MessageBoxService& messageBoxService() {
    static QtMessageBoxService real;
    if (auto& o = overrideSlot())
        return *o;
    return real;
}

std::shared_ptr<MessageBoxService> setMessageBoxService(std::shared_ptr<MessageBoxService> s) {
    return std::exchange(overrideSlot(), std::move(s));
}

} // namespace tolvane::platform
