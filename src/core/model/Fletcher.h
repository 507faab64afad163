#pragma once
// Modulo-255 Fletcher checksum of the configuration record and of the
// protocol frames.

#include <cstddef>
#include <cstdint>

// First sum in the low byte, second sum in the high byte.
uint16_t Fletcher_Sum(const uint8_t* bytes, std::size_t start, std::size_t count);

// Writes the two check bytes at bytes[start + count] and bytes[start + count + 1]
// so that the sum over the range including them is 0. Both are in 1..255.
void Fletcher_Check_Bytes(uint8_t* bytes, std::size_t start, std::size_t count);
