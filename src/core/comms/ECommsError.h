#pragma once
// Port errors of the serial-port component. Protocol failures are results,
// never exceptions; only misuse of a port or an unusable handle throws.

#include "core/errors/CorvaneError.h"

class ECommsError : public CorvaneError {
public:
    using CorvaneError::CorvaneError;
};
