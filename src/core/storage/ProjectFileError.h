#pragma once

#include "core/errors/CorvaneError.h"

// A project file that cannot be read or written; what() names the file and
// the part of it that was bad, in words an installer can act on.
class ProjectFileError : public CorvaneError {
public:
    using CorvaneError::CorvaneError;
};
