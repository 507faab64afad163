#include "FuzzTargets.h"

#include "core/comms/CommsByteUtils.h"
#include "core/comms/TRxCondition.h"
#include "core/model/Fletcher.h"
#include "core/protocol/BLcomms.h"
#include "sim/lib/FrameAssembler.h"

#include <algorithm>
#include <vector>

namespace {

// Feeds the bytes as the serial component does: conditions are scanned until
// one has its start and end, then only counted. Returns the first complete
// condition (from 1) and how many bytes it took, or 0.
int runConditions(TRxCondition& set, const uint8_t* data, size_t size, size_t* used)
{
    int startEnd = -1;
    for (size_t i = 0; i < size; ++i) {
        if (startEnd == -1)
            startEnd = set.CheckConditions(data[i]);
        else
            set.UpdateCharCounts();
        for (uint16_t n = 1; n <= set.Cond_count; ++n) {
            if (set.CheckRxChars(n)) {
                *used = i + 1;
                return n;
            }
        }
    }
    return 0;
}

} // namespace

QString fuzzReply(const uint8_t* data, size_t size)
{
    QStringList outcome;
    const uint8_t ack = BL::kAck, nak = BL::kNak, start = BL::kStart;

    // A command: ACK, NAK, or a frame where none was expected.
    TRxCondition command;
    command.PrepRxBuffAdd(1, &ack, 0, 0, nullptr, 0, 0, 1, 0);
    command.PrepRxBuffAdd(1, &nak, 0, 0, nullptr, 0, 0, 1, 0);
    command.PrepRxBuffAdd(1, &start, 0, 0, nullptr, 0, 0, 9, 0);
    size_t used = 0;
    outcome << QStringLiteral("command %1").arg(runConditions(command, data, size, &used));

    // A read of count bytes (the count taken from the input): the reply is
    // start byte, header, data and check bytes, checked as the read does.
    const uint16_t count = size > 0 ? uint16_t(data[0] * 4) : 8;
    TRxCondition read;
    read.PrepRxBuffAdd(1, &start, 0, 0, nullptr, 0, 0, 1, uint16_t(count + 11));
    used = 0;
    if (runConditions(read, data, size, &used) == 1) {
        const TRxConditionItem* item = read.GetConditionPtr(1);
        const size_t from = std::min<size_t>(item->prechrs, used);
        std::vector<uint8_t> reply(data + from, data + used);
        const bool good = reply.size() == size_t(count) + 12 && Fletcher_Sum(reply.data(), 0, 10) == 0
            && Fletcher_Sum(reply.data(), 10, size_t(count) + 2) == 0;
        outcome << QStringLiteral("read %1 bytes, %2").arg(reply.size()).arg(good ? "good" : "refused");
    } else {
        outcome << QStringLiteral("read incomplete");
    }

    // The byte helpers scan the same buffers.
    if (size >= 2) {
        std::vector<uint8_t> buf(data, data + size);
        buf.push_back(0);
        const uint16_t n = uint16_t(std::min<size_t>(size, 0xFFFF));
        outcome << QStringLiteral("find %1 bcc %2")
                       .arg(Find_Char(buf.data(), buf[0], buf[1], n))
                       .arg(BCC_Check(buf.data(), 0, uint16_t(n - 2)));
    }

    // The other direction: the virtual controller cutting frames.
    FrameAssembler assembler;
    size_t frames = assembler.feed(data, size).size();
    frames += assembler.lineQuiet().size();
    outcome << QStringLiteral("%1 frames").arg(frames);
    return outcome.join(QStringLiteral("; "));
}
