#pragma once
// Cuts the byte stream from the system into request frames. Bytes outside a
// frame are skipped until the next start byte. After a bad header its length
// cannot be trusted: everything is skipped until resync(), which the
// controller calls once it has drained the rest of the refused frame (or the
// line has gone quiet).

#include "sim/lib/SimFrame.h"

#include <cstdint>
#include <vector>

class FrameAssembler {
public:
    // Read requests carry two bytes after the header whatever their length field says.
    static bool expectsTrailingBytes(uint8_t command, uint16_t length);

    // Feeds received bytes; returns the frames they complete.
    std::vector<SimFrame> feed(const uint8_t* bytes, std::size_t n);
    // The line went quiet: a read request missing its trailing bytes is taken
    // as it is; any other part frame is returned incomplete.
    std::vector<SimFrame> lineQuiet();
    // The rest of a refused frame has been discarded: the next start byte
    // begins a frame. Returns the bytes skipped since the bad header.
    QByteArray resync();
    bool inFrame() const { return m_state != State::Idle; }

private:
    enum class State { Idle, Header, Body, Skip };
    void startHeader();
    SimFrame finish(bool complete);

    State m_state = State::Idle;
    QByteArray m_bytes;
    std::size_t m_need = 0; // total bytes the frame will have
};
