#pragma once
// A failure the user has to read: message() is a sentence for the installer,
// what() the same text in UTF-8 for code that only knows std::exception.
// Each subsystem derives its own class, so callers can catch one subsystem's
// failures, or all of them through this base.

#include <QString>

#include <stdexcept>

class CorvaneError : public std::runtime_error {
public:
    explicit CorvaneError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) { }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};
