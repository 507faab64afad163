#pragma once

#include <stdexcept>
#include <string>

#include <QString>

// A project file that cannot be read or written; what() names the file and
// the part of it that was bad, in words an installer can act on.
class ProjectFileError : public std::runtime_error {
public:
    explicit ProjectFileError(const QString& message) : std::runtime_error(message.toStdString()) { }
    QString message() const { return QString::fromStdString(what()); }
};
