#include "sim/lib/FrameAssembler.h"

#include "core/model/Fletcher.h"
#include "core/protocol/BLcomms.h"

bool FrameAssembler::expectsTrailingBytes(uint8_t command, uint16_t length)
{
    return length == 0 && (command == BL::kCmdIdentify || command == BL::kCmdReadMemory);
}

SimFrame FrameAssembler::finish(bool complete)
{
    SimFrame f;
    f.bytes = m_bytes;
    const auto* b = reinterpret_cast<const uint8_t*>(m_bytes.constData());
    const auto n = static_cast<std::size_t>(m_bytes.size());
    if (n >= 10) {
        f.command = b[1];
        f.address = b[2] | b[3] << 8 | b[4] << 16 | static_cast<uint32_t>(b[5]) << 24;
        f.length = static_cast<uint16_t>(b[6] << 8 | b[7]);
        f.headerOk = Fletcher_Sum(b, 0, 10) == 0;
    } else if (n >= 2) {
        f.command = b[1];
    }
    f.dataOk = f.length == 0 || (n >= 12u + f.length && Fletcher_Sum(b, 10, f.length + 2u) == 0);
    f.complete = complete;
    m_bytes.clear();
    m_need = 0;
    m_state = State::Idle;
    return f;
}

std::vector<SimFrame> FrameAssembler::feed(const uint8_t* bytes, std::size_t n)
{
    std::vector<SimFrame> out;
    for (std::size_t i = 0; i < n; ++i) {
        const uint8_t ch = bytes[i];
        switch (m_state) {
        case State::Skip: m_bytes.append(static_cast<char>(ch)); continue;
        case State::Idle:
            if (ch != BL::kStart)
                continue;
            m_bytes = QByteArray(1, static_cast<char>(ch));
            m_need = 10;
            m_state = State::Header;
            continue;
        case State::Header:
        case State::Body: m_bytes.append(static_cast<char>(ch)); break;
        }
        if (static_cast<std::size_t>(m_bytes.size()) < m_need)
            continue;
        if (m_state == State::Header) {
            const auto* b = reinterpret_cast<const uint8_t*>(m_bytes.constData());
            if (Fletcher_Sum(b, 0, 10) != 0) {
                out.push_back(finish(true));
                m_state = State::Skip;
                continue;
            }
            const uint16_t length = static_cast<uint16_t>(b[6] << 8 | b[7]);
            if (length > 0)
                m_need = 12u + length;
            else if (expectsTrailingBytes(b[1], length))
                m_need = 12;
            else {
                out.push_back(finish(true));
                continue;
            }
            m_state = State::Body;
            continue;
        }
        out.push_back(finish(true));
    }
    return out;
}

std::vector<SimFrame> FrameAssembler::lineQuiet()
{
    std::vector<SimFrame> out;
    if (m_state == State::Skip) {
        m_state = State::Idle;
        m_bytes.clear();
    } else if (m_state == State::Body && m_bytes.size() >= 10) {
        const auto* b = reinterpret_cast<const uint8_t*>(m_bytes.constData());
        const uint16_t length = static_cast<uint16_t>(b[6] << 8 | b[7]);
        out.push_back(finish(expectsTrailingBytes(b[1], length)));
    } else if (m_state != State::Idle) {
        out.push_back(finish(false));
    }
    return out;
}

QByteArray FrameAssembler::resync()
{
    QByteArray skipped = m_state == State::Skip ? m_bytes : QByteArray();
    m_bytes.clear();
    m_need = 0;
    m_state = State::Idle;
    return skipped;
}
