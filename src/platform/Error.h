#pragma once
// A failure with a number and a message, in the manner of the familiar database engine
// errors (3024 "could not find file", ...). Every layer throws this (or a subclass) so that
// the handler guard can report any failure the same way.
//
// A failure already told in plain words for the user (what happened and what to do) is shown
// as it is, without its number; the number still tells the code which failure it is.

#include <QString>
#include <stdexcept>

namespace tolvane {

enum class Telling {
    WithNumber, // "Run-time error '3024': ..."
    PlainWords, // the message alone
};

class NumberedError : public std::runtime_error {
public:
    NumberedError(int number, const QString& message, Telling telling = Telling::WithNumber)
        : std::runtime_error(message.toStdString()), m_number(number), m_message(message),
          m_telling(telling) {}

    int number() const noexcept { return m_number; }
    const QString& message() const noexcept { return m_message; }
    bool inPlainWords() const noexcept { return m_telling == Telling::PlainWords; }

private:
    int m_number;
    QString m_message;
    Telling m_telling;
};

} // namespace tolvane
