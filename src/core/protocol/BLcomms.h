#pragma once
// The controller's request/reply protocol. One transaction sends one request
// frame and waits for one reply: ACK (0x06), NAK (0x15) or a reply frame.
//
// Request frame: 01, command, address (32-bit little-endian), data length L
// (16-bit big-endian), two check bytes over bytes 0-7, then, when L > 0,
// L data bytes and two check bytes over them.
//
// Results (BL::kAccepted and the rest below): accepted (or a long enough
// read reply), refused (NAK), no complete reply before the timeout, or
// negative: the port is closed.

#include <cstdint>

class QIODevice;
class TVrexComms;

namespace BL {
// What a transaction returns. The numbers are the ones traces print.
inline constexpr int kAccepted = 1;
inline constexpr int kRefused = 2;
inline constexpr int kNoReply = 0;
inline constexpr int kPortIdle = -1;    // nothing outstanding on a closed port
inline constexpr int kPortClosing = -2; // closed, or its component destroyed, during the wait
inline constexpr uint8_t kStart = 0x01;
inline constexpr uint8_t kAck = 0x06;
inline constexpr uint8_t kNak = 0x15;
inline constexpr uint8_t kCmdIdentify = 10;
inline constexpr uint8_t kCmdReadMemory = 204;
inline constexpr uint8_t kCmdWriteMemory = 200;
inline constexpr uint8_t kCmdReset = 12;
inline constexpr uint8_t kCmdFirmwareWriteBoot = 14;
inline constexpr uint8_t kCmdFirmwareWriteApp = 20;
inline constexpr uint32_t kAccessConstant = 0x5A1C7B93;
inline constexpr int kTxBufferSize = 1000;
inline constexpr int kHeaderBytes = 10;
inline constexpr int kMaxData = kTxBufferSize - kHeaderBytes - 2; // 988
// Read request frames carry the two bytes after the header as they stand in
// the transmit buffer; the controller accepts them.
inline constexpr int kReadTrailingBytes = 2;
} // namespace BL

// Sizes the connection's transmit buffer (zero-filled). Called when the
// connection is set up; the other routines size it to 1000 bytes themselves
// if nobody has.
void BL_InitBuffers(TVrexComms& comms, int size);
// The frame as it stands in the connection's transmit buffer (for
// diagnostics and tests).
const uint8_t* blTxBuffer(TVrexComms& comms);

// Builds a frame in the connection's transmit buffer. False (nothing
// changed) when L does not fit the buffer or the source cannot supply L bytes.
bool BL_BuildFrame(TVrexComms& comms, uint8_t command, uint32_t address, const uint8_t* source, uint16_t l);
bool BL_BuildFrame(TVrexComms& comms, uint8_t command, uint32_t address, QIODevice* source, uint16_t l);

// A command without data; 1 ACK, 2 NAK, 0 timeout. A reply starting 0x01
// ends by timeout (0).
int BL_Command(TVrexComms& comms, uint8_t command, uint32_t address, uint16_t timeout);
// Writes L (1-988) bytes read from the stream's current position.
int BL_WriteBlock(TVrexComms& comms, uint8_t command, uint32_t address, QIODevice* stream, uint16_t l,
                  uint16_t timeout);
int BL_WriteBlock(TVrexComms& comms, uint8_t command, uint32_t address, const uint8_t* data, uint16_t l,
                  uint16_t timeout);
// Reads count bytes into destination[offset...]. Returns 1 whenever a long
// enough reply arrived; the destination is changed only when the reply has
// exactly count + 12 bytes and both check sums hold, which *copied tells.
int BL_ReadBlock(TVrexComms& comms, uint8_t command, uint32_t address, const uint8_t* requestData,
                 uint16_t requestLength, uint8_t* destination, int offset, uint16_t count, uint16_t timeout,
                 bool* copied = nullptr);
