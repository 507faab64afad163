#include "core/protocol/BLcomms.h"

#include "core/comms/TRxCondition.h"
#include "core/comms/TVrexComms.h"
#include "core/model/Fletcher.h"
#include "core/protocol/DeviceTrace.h"

#include <QIODevice>

#include <algorithm>
#include <vector>

namespace {
std::vector<uint8_t>& txBuffer(TVrexComms& comms)
{
    if (comms.txFrame().empty())
        BL_InitBuffers(comms, BL::kTxBufferSize);
    return comms.txFrame();
}

void writeHeader(std::vector<uint8_t>& tx, uint8_t command, uint32_t address, uint16_t l)
{
    uint8_t* b = tx.data();
    b[0] = BL::kStart;
    b[1] = command;
    b[2] = static_cast<uint8_t>(address);
    b[3] = static_cast<uint8_t>(address >> 8);
    b[4] = static_cast<uint8_t>(address >> 16);
    b[5] = static_cast<uint8_t>(address >> 24);
    b[6] = static_cast<uint8_t>(l / 256);
    b[7] = static_cast<uint8_t>(l % 256);
    Fletcher_Check_Bytes(b, 0, 8);
}

bool fits(const std::vector<uint8_t>& tx, uint16_t l)
{
    return l == 0 || static_cast<std::size_t>(l) + BL::kHeaderBytes + 2 <= tx.size();
}

// Attaches a condition set for the duration of one transaction, and detaches
// it again on every way out.
class AttachedConditions {
public:
    explicit AttachedConditions(TVrexComms& comms) : m_comms(comms) { }
    ~AttachedConditions() { m_comms.DetachCond(); }
    void addStart(uint8_t start, uint16_t mid, uint16_t post)
    {
        m_set.PrepRxBuffAdd(1, &start, 0, 0, nullptr, 0, 0, mid, post);
    }
    void attach()
    {
        m_comms.AttachCond(&m_set);
        m_comms.ClearFlags();
    }

private:
    TVrexComms& m_comms;
    TRxCondition m_set;
};

int sendAndWait(TVrexComms& comms, uint16_t length, uint16_t timeout)
{
    const uint8_t* frame = txBuffer(comms).data();
    const int command = frame[1];
    const uint32_t address = frame[2] | frame[3] << 8 | frame[4] << 16 | uint32_t(frame[5]) << 24;
    // A failed write leaves the reply timer armed: the wait ends by timeout.
    comms.SendCommData(frame, length, timeout);
    const int result = comms.WaitForResult();
    qCDebug(lcDevice).noquote() << QStringLiteral("%1 command %2 at 0x%3, %4 bytes: result %5")
                                       .arg(comms.portName)
                                       .arg(command)
                                       .arg(address, 0, 16)
                                       .arg(length)
                                       .arg(result);
    return result;
}
} // namespace

void BL_InitBuffers(TVrexComms& comms, int size)
{
    comms.txFrame().assign(static_cast<std::size_t>(std::max(size, BL::kHeaderBytes + 2)), 0);
}

const uint8_t* blTxBuffer(TVrexComms& comms)
{
    return txBuffer(comms).data();
}

bool BL_BuildFrame(TVrexComms& comms, uint8_t command, uint32_t address, const uint8_t* source, uint16_t l)
{
    std::vector<uint8_t>& tx = txBuffer(comms);
    if (!fits(tx, l) || (l > 0 && !source))
        return false;
    writeHeader(tx, command, address, l);
    if (l > 0) {
        std::copy_n(source, l, tx.data() + BL::kHeaderBytes);
        Fletcher_Check_Bytes(tx.data(), BL::kHeaderBytes, l);
    }
    return true;
}

bool BL_BuildFrame(TVrexComms& comms, uint8_t command, uint32_t address, QIODevice* source, uint16_t l)
{
    if (l == 0)
        return BL_BuildFrame(comms, command, address, static_cast<const uint8_t*>(nullptr), 0);
    if (!fits(txBuffer(comms), l) || !source)
        return false;
    std::vector<uint8_t> data(l);
    if (source->read(reinterpret_cast<char*>(data.data()), l) != l)
        return false;
    return BL_BuildFrame(comms, command, address, data.data(), l);
}

int BL_Command(TVrexComms& comms, uint8_t command, uint32_t address, uint16_t timeout)
{
    BL_BuildFrame(comms, command, address, static_cast<const uint8_t*>(nullptr), 0);
    AttachedConditions conditions(comms);
    conditions.addStart(BL::kAck, 1, 0);
    conditions.addStart(BL::kNak, 1, 0);
    // A reply frame where ACK or NAK was expected: this condition never
    // completes, so such a reply ends by timeout (0), as callers expect.
    conditions.addStart(BL::kStart, 9, 0);
    conditions.attach();
    return sendAndWait(comms, BL::kHeaderBytes, timeout);
}

static int writeBuilt(TVrexComms& comms, uint16_t l, uint16_t timeout)
{
    AttachedConditions conditions(comms);
    conditions.addStart(BL::kAck, 1, 0);
    conditions.addStart(BL::kNak, 1, 0);
    conditions.attach();
    return sendAndWait(comms, static_cast<uint16_t>(l + BL::kHeaderBytes + 2), timeout);
}

int BL_WriteBlock(TVrexComms& comms, uint8_t command, uint32_t address, QIODevice* stream, uint16_t l, uint16_t timeout)
{
    // Out-of-range lengths and short streams send nothing: a frame with stale
    // or missing data must never reach the controller's memory.
    if (l == 0 || l > BL::kMaxData || !BL_BuildFrame(comms, command, address, stream, l))
        return BL::kNoReply;
    return writeBuilt(comms, l, timeout);
}

int BL_WriteBlock(TVrexComms& comms, uint8_t command, uint32_t address, const uint8_t* data, uint16_t l,
                  uint16_t timeout)
{
    if (l == 0 || l > BL::kMaxData || !BL_BuildFrame(comms, command, address, data, l))
        return BL::kNoReply;
    return writeBuilt(comms, l, timeout);
}

int BL_ReadBlock(TVrexComms& comms, uint8_t command, uint32_t address, const uint8_t* requestData,
                 uint16_t requestLength, uint8_t* destination, int offset, uint16_t count, uint16_t timeout,
                 bool* copied)
{
    if (copied)
        *copied = false;
    if (!BL_BuildFrame(comms, command, address, requestData, requestLength))
        return BL::kNoReply;
    const uint16_t size = comms.RxBufferSize;
    // One byte more than the ring buffer: GetReply stores a zero after the copy.
    std::vector<uint8_t> scratch(static_cast<std::size_t>(size) + 1, 0);
    AttachedConditions conditions(comms);
    conditions.addStart(BL::kStart, 1, static_cast<uint16_t>(count + 11));
    conditions.attach();
    const int result = sendAndWait(comms, static_cast<uint16_t>(requestLength + BL::kHeaderBytes + 2), timeout);
    if (result == BL::kAccepted) {
        const int n = comms.GetReply(1, scratch.data(), size, 0, -1, -1);
        const int dataStart = BL::kHeaderBytes;
        if (n == count + 12 && Fletcher_Sum(scratch.data(), 0, dataStart) == 0
            && Fletcher_Sum(scratch.data(), dataStart, static_cast<std::size_t>(count) + 2) == 0 && destination) {
            std::copy_n(scratch.data() + dataStart, count, destination + offset);
            if (copied)
                *copied = true;
        }
    }
    return result;
}
