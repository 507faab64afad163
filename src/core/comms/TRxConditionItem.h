#pragma once
// One receive condition: which bytes start and end a reply and how many bytes
// must have arrived before, inside and after it.

#include <cstdint>

class TRxConditionItem {
public:
    uint8_t startchr[6] = {};
    uint8_t startmode = 0; // 0: any one start byte; otherwise a sequence
    uint8_t endchr[6] = {};
    uint8_t endmode = 0;
    bool gotstart = false;
    bool gotend = false;
    uint16_t minpre = 0;
    uint16_t minmid = 0;
    uint16_t minpost = 0;
    uint16_t msgchrs = 0;
    uint16_t nstart = 0;
    uint16_t nstartrx = 0;
    uint16_t nend = 0;
    uint16_t nendrx = 0;
    uint16_t prechrs = 0;
    uint16_t postchrs = 0;

    // Offers one byte; true once both start and end have been seen.
    bool UpdateCondFlags(uint8_t ch);
    // Counts one byte as pre, message or post byte.
    void UpdatePreMidPost();
    void resetFlags();
    // Whether the byte that meets this condition is its reply's last byte: it
    // asks for no byte after its end (the end byte itself counts as the first
    // post byte; without end bytes the post bytes follow the start byte).
    bool endsOnItsLastByte() const { return minpost <= (nend > 0 ? 1 : 0); }

private:
    static bool matchByte(uint8_t ch, const uint8_t* chars, uint16_t n, uint8_t mode, uint16_t& nrx);
};
