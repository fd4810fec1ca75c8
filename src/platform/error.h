#pragma once
// The error every command may raise: it abandons the command, and the
// application's error box shows its message.

#include <QString>
#include <stdexcept>

namespace tl {

class Error : public std::runtime_error {
public:
    explicit Error(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};

// "'%s' is not a valid integer value" on anything but a plain decimal integer.
int strToInt(const QString &text);

} // namespace tl
