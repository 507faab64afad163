#include "core/comms/TRxConditionItem.h"

bool TRxConditionItem::matchByte(uint8_t ch, const uint8_t* chars, uint16_t n, uint8_t mode, uint16_t& nrx)
{
    if (mode == 0) {
        for (uint16_t i = 0; i < n; ++i) {
            if (chars[i] == ch)
                return true;
        }
        return false;
    }
    // A byte that breaks the sequence is deliberately not retried as its first
    // byte: the controller's replies never need it and callers rely on it.
    if (nrx < n && ch == chars[nrx]) {
        ++nrx;
        return nrx == n;
    }
    nrx = 0;
    return false;
}

bool TRxConditionItem::UpdateCondFlags(uint8_t ch)
{
    if (nstart > 0 && !gotstart)
        gotstart = matchByte(ch, startchr, nstart, startmode, nstartrx);
    else if (msgchrs >= minmid && nend > 0 && !gotend)
        gotend = matchByte(ch, endchr, nend, endmode, nendrx);
    UpdatePreMidPost();
    if (gotstart && nend == 0)
        gotend = true;
    return gotstart && gotend;
}

void TRxConditionItem::UpdatePreMidPost()
{
    if (!gotstart)
        ++prechrs;
    else if (gotend)
        ++postchrs;
    else
        ++msgchrs;
}

void TRxConditionItem::resetFlags()
{
    nstartrx = 0;
    nendrx = 0;
    gotstart = false;
    gotend = false;
    prechrs = 0;
    msgchrs = 0;
    postchrs = 0;
}
