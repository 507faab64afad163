#pragma once

#include <QString>

#include <stdexcept>

// An image that cannot be converted, encoded or decoded, or a storage setting
// the controller does not know. what() is a sentence an installer can act on:
// it names the handle, the image or the code that was refused.
class ImagingError : public std::runtime_error {
public:
    explicit ImagingError(const QString& message) : std::runtime_error(message.toStdString()) { }
    QString message() const { return QString::fromStdString(what()); }
};
