// How the Quorvel 2's line is set up. Every open sets these values; the driver has no way to change
// them. Fields of the device control block that are not listed here stay as the port reports them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qvl {

struct LineSettings {
    std::uint32_t baudRate;
    std::uint8_t byteSize;
    std::uint8_t parity;     // 0: none
    std::uint8_t stopBits;   // 0: one stop bit
    bool parityCheck;        // the block's parity-check flag, set although no parity is used
    std::uint8_t dtrControl; // 1: enable
    std::uint8_t rtsControl; // 1: enable
    bool ctsOutputFlow;
    bool dsrOutputFlow;
    bool dsrSensitivity;
    bool transmitContinueOnXoff;
    bool xonXoffOutput;
    bool xonXoffInput;
    char xonChar;
    char xoffChar;
    std::uint16_t xonLimit;
    std::uint16_t xoffLimit;
    char eventChar;
};

constexpr LineSettings kDeviceLine = {
    2400,  // baudRate
    8,     // byteSize
    0,     // parity
    0,     // stopBits
    true,  // parityCheck
    1,     // dtrControl
    1,     // rtsControl
    false, // ctsOutputFlow
    false, // dsrOutputFlow
    false, // dsrSensitivity
    false, // transmitContinueOnXoff
    false, // xonXoffOutput
    false, // xonXoffInput
    17,    // xonChar
    19,    // xoffChar
    0,     // xonLimit
    0,     // xoffLimit
    0,     // eventChar
};

// Read-interval time-out of 1 ms and no totals: a read returns as soon as the bytes that arrived
// together have been taken, so each device message is handed on the moment it is complete.
struct LineTimeouts {
    std::uint32_t readInterval;
    std::uint32_t readTotalMultiplier;
    std::uint32_t readTotalConstant;
    std::uint32_t writeTotalMultiplier;
    std::uint32_t writeTotalConstant;
};
constexpr LineTimeouts kDeviceTimeouts = {1, 0, 0, 0, 0};

constexpr std::uint32_t kInputQueueSize = 2048;
constexpr std::uint32_t kOutputQueueSize = 1024;
// CTS, DSR, RLSD, break, line error and ring: the line-status events the reader waits for beside the
// data (the received-character event is not among them).
constexpr std::uint32_t kLineEventMask = 0x1F8;
constexpr std::size_t kReadChunk = 512;
constexpr std::uint32_t kReaderPollMs = 500;
constexpr std::uint32_t kCloseWaitMs = 20000;
// How long a write waits for the port to take its bytes. The driver's writes are a byte or a few (at
// 2400 bits per second a byte takes about 4 ms); a port that has taken nothing after this has stalled.
constexpr std::uint32_t kWriteWaitMs = 2000;

} // namespace qvl
