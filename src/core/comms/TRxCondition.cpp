#include "core/comms/TRxCondition.h"

#include <algorithm>

void TRxCondition::ClearList()
{
    for (int i = Cond_count - 1; i >= 0; --i)
        Cond_list[i].reset();
    Cond_count = 0;
}

void TRxCondition::PrepRxBuffAdd(uint16_t snum, const uint8_t* schr, uint8_t smode, uint16_t endnum,
                                 const uint8_t* echr, uint8_t emode, uint16_t pre, uint16_t mid, uint16_t post)
{
    if (Cond_count >= kMaxConditions)
        return;
    auto item = std::make_unique<TRxConditionItem>();
    item->nstart = std::min<uint16_t>(snum, 5);
    if (schr)
        std::copy_n(schr, item->nstart, item->startchr);
    else
        item->nstart = 0;
    item->startmode = smode;
    item->nend = std::min<uint16_t>(endnum, 5);
    if (echr)
        std::copy_n(echr, item->nend, item->endchr);
    else
        item->nend = 0;
    item->endmode = emode;
    item->minpre = pre;
    item->minmid = mid;
    item->minpost = post;
    Cond_list[Cond_count] = std::move(item);
    ++Cond_count;
}

void TRxCondition::PrepRxBuffResetFlags()
{
    for (int i = 0; i < Cond_count; ++i)
        Cond_list[i]->resetFlags();
}

int TRxCondition::CheckConditions(uint8_t ch)
{
    // Items after the one that completes do not see this byte at all.
    for (int i = 0; i < Cond_count; ++i) {
        if (Cond_list[i]->UpdateCondFlags(ch))
            return i;
    }
    return -1;
}

void TRxCondition::UpdateCharCounts()
{
    for (int i = 0; i < Cond_count; ++i)
        Cond_list[i]->UpdatePreMidPost();
}

bool TRxCondition::CheckRxChars(uint16_t condnum) const
{
    const TRxConditionItem* c = GetConditionPtr(condnum);
    return c && c->gotstart && c->gotend && c->prechrs >= c->minpre && c->msgchrs >= c->minmid
        && c->postchrs >= c->minpost;
}

bool TRxCondition::endsOnItsLastByte() const
{
    for (int i = 0; i < Cond_count; ++i) {
        if (!Cond_list[i]->endsOnItsLastByte())
            return false;
    }
    return true;
}

TRxConditionItem* TRxCondition::GetConditionPtr(uint16_t condnum) const
{
    if (condnum == 0 || condnum > Cond_count)
        return nullptr;
    return Cond_list[condnum - 1].get();
}
