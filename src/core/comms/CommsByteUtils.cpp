#include "core/comms/CommsByteUtils.h"

#include <cstring>

int BCC_Check(const uint8_t* buf, uint16_t st, uint16_t en)
{
    uint8_t x = 0;
    for (int i = st; i <= en; ++i)
        x ^= buf[i];
    return x == buf[en + 1] ? 1 : 0;
}

uint16_t Find_Char(const uint8_t* buf, uint8_t first, uint8_t second, uint16_t n)
{
    for (int i = 0; i < n; ++i) {
        if (buf[i] == first && (second == '*' || buf[i + 1] == second))
            return static_cast<uint16_t>(i + 2);
    }
    return 0;
}

void Byte_Move(const uint8_t* src, uint8_t* dest, int len, bool zt_flag)
{
    if (len > 0)
        std::memmove(dest, src, static_cast<std::size_t>(len));
    if (zt_flag)
        dest[len > 0 ? len : 0] = 0;
}
