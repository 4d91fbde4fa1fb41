#pragma once
// A failure with a number and a message, in the manner of the familiar database engine
// errors (3024 "could not find file", ...). Every layer throws this (or a subclass) so that
// the handler guard can report any failure the same way.

#include <QString>
#include <stdexcept>

namespace tolvane {

class NumberedError : public std::runtime_error {
public:
    NumberedError(int number, const QString& message)
        : std::runtime_error(message.toStdString()), m_number(number), m_message(message) {}

    int number() const noexcept { return m_number; }
    const QString& message() const noexcept { return m_message; }

private:
    int m_number;
    QString m_message;
};

} // namespace tolvane
