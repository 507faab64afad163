#pragma once

#include "core/errors/CorvaneError.h"

// An image that cannot be converted, encoded or decoded, or a storage setting
// the controller does not know. what() is a sentence an installer can act on:
// it names the handle, the image or the code that was refused.
class ImagingError : public CorvaneError {
public:
    using CorvaneError::CorvaneError;
};
