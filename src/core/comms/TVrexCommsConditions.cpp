// The receive-condition operations of TVrexComms.
#include "core/comms/TRxCondition.h"
#include "core/comms/TVrexComms.h"

#include <algorithm>

void TVrexComms::ClearFlags()
{
    StartEnd_Cond = -1;
    if (RxCond)
        RxCond->PrepRxBuffResetFlags();
}

void TVrexComms::CheckCondFlags(uint8_t ch)
{
    StartEnd_Cond = RxCond ? RxCond->CheckConditions(ch) : -1;
}

void TVrexComms::UpdateRxCharCounts()
{
    if (RxCond)
        RxCond->UpdateCharCounts();
}

bool TVrexComms::CheckReply(uint16_t condnum) const
{
    return RxCond && RxCond->CheckRxChars(condnum);
}

int TVrexComms::GetCondition() const
{
    if (!RxCond)
        return -1;
    for (uint16_t n = 1; n <= RxCond->Cond_count; ++n) {
        if (CheckReply(n))
            return n;
    }
    return -1;
}

void TVrexComms::ConditionCheck()
{
    if (m_rxResult != -2) {
        const int c = GetCondition();
        if (c == -1)
            return;
        m_rxResult = c;
    }
    Timer.stop();
}

uint16_t TVrexComms::GetReply(uint16_t condnum, uint8_t* buf, uint16_t bufsize, int pre, int mid, int post) const
{
    const TRxConditionItem* item = RxCond ? RxCond->GetConditionPtr(condnum) : nullptr;
    if (!item) {
        buf[0] = 0;
        return 0;
    }
    // The reply is read from index 0 up without wrapping: the buffer was
    // emptied when the request was sent. Reads stop at the end of the buffer
    // and at the write position, never beyond.
    const int limit = std::min<int>(static_cast<int>(RxBuffer.size()), m_rxBuffTail);
    int count = 0;
    auto copyRange = [&](int from, int to) {
        for (int i = std::max(from, 0); i < to && i < limit && count < bufsize; ++i)
            buf[count++] = RxBuffer[i];
    };
    const int prechrs = item->prechrs;
    copyRange(pre < 0 ? 0 : std::max(0, prechrs - pre), prechrs);
    int position = prechrs;
    if (mid > 0) {
        copyRange(prechrs, prechrs + mid);
        position = prechrs + item->msgchrs;
    } else if (mid < 0) {
        copyRange(prechrs, prechrs + item->msgchrs);
        position = prechrs + item->msgchrs;
    }
    if (post > 0)
        copyRange(position, position + post);
    else if (post < 0)
        copyRange(position, limit);
    buf[count] = 0;
    return static_cast<uint16_t>(count);
}
