#pragma once
// A set of up to ten receive conditions, numbered from 1 in the order added.
// The first condition whose counts are all satisfied is a request's outcome.

#include "core/comms/TRxConditionItem.h"

#include <array>
#include <cstdint>
#include <memory>

class TRxCondition {
public:
    static constexpr int kMaxConditions = 10;

    std::array<std::unique_ptr<TRxConditionItem>, kMaxConditions> Cond_list;
    uint16_t Cond_count = 0;

    void ClearList();
    void PrepRxBuffNew() { ClearList(); }
    // An eleventh condition is ignored; start and end lists are cut to five bytes.
    void PrepRxBuffAdd(uint16_t snum, const uint8_t* schr, uint8_t smode, uint16_t endnum, const uint8_t* echr,
                       uint8_t emode, uint16_t pre, uint16_t mid, uint16_t post);
    void PrepRxBuffResetFlags();
    // 0-based index of the first item that now has its start and end, else -1.
    int CheckConditions(uint8_t ch);
    void UpdateCharCounts();
    // condnum counts from 1; false outside 1..Cond_count.
    bool CheckRxChars(uint16_t condnum) const;
    // True when every condition ends on the byte that meets it (an ACK or a
    // NAK): the outcome is then known the moment that byte arrives.
    bool endsOnItsLastByte() const;
    // nullptr when condnum is 0 or above Cond_count.
    TRxConditionItem* GetConditionPtr(uint16_t condnum) const;
};
