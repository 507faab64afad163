#include "core/model/Fletcher.h"

namespace {
struct Sums {
    uint64_t sum1 = 0;
    uint64_t sum2 = 0;
};

Sums fletcherSums(const uint8_t* bytes, std::size_t start, std::size_t count)
{
    Sums s;
    const uint8_t* p = bytes + start;
    // Deferring the modulo keeps the loop cheap; residues are the same and a
    // chunk of 4096 bytes cannot overflow 64-bit sums.
    while (count > 0) {
        std::size_t n = count < 4096 ? count : 4096;
        count -= n;
        for (std::size_t i = 0; i < n; ++i) {
            s.sum1 += p[i];
            s.sum2 += s.sum1;
        }
        p += n;
        s.sum1 %= 255;
        s.sum2 %= 255;
    }
    return s;
}
} // namespace

uint16_t Fletcher_Sum(const uint8_t* bytes, std::size_t start, std::size_t count)
{
    const Sums s = fletcherSums(bytes, start, count);
    return static_cast<uint16_t>(s.sum1 + 256 * s.sum2);
}

void Fletcher_Check_Bytes(uint8_t* bytes, std::size_t start, std::size_t count)
{
    const Sums s = fletcherSums(bytes, start, count);
    const unsigned c0 = 255 - static_cast<unsigned>((s.sum1 + s.sum2) % 255);
    const unsigned c1 = 255 - static_cast<unsigned>((s.sum1 + c0) % 255);
    bytes[start + count] = static_cast<uint8_t>(c0);
    bytes[start + count + 1] = static_cast<uint8_t>(c1);
}
