#pragma once
// Port errors of the serial-port component. Protocol failures are results,
// never exceptions; only misuse of a port or an unusable handle throws.

#include <QString>

#include <stdexcept>

class ECommsError : public std::runtime_error {
public:
    explicit ECommsError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) { }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};
