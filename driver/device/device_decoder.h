// Turns the device's byte stream into control events.
//
// Every message is a status byte (0x80 button, 0x81 wheel) and one data byte. The decoder keeps the
// OPTION and SHIFT state and the LED state, works out the control and the bank of each event, drives
// the wheel tracker and hands each event to the dispatcher. It runs on the serial reader thread for
// every byte, so it allocates nothing and does constant work per byte.
#pragma once

#include "driver/device/wheel_timer.h"
#include "driver/device/wheel_tracker.h"
#include "model/shared_names.h"

#include <cstdint>
#include <memory>

namespace qvl {

class CDeviceDecoder;

// Where decoded events go: the control dispatcher. The decoder passes itself, so the receiver reads
// the event (control, bank, magnitude, editor id) from it.
class ControlEventSink {
public:
    ControlEventSink() = default;
    ControlEventSink(const ControlEventSink&) = delete;
    ControlEventSink& operator=(const ControlEventSink&) = delete;
    virtual ~ControlEventSink() = default;
    // OPTION or SHIFT down, a transport key down, an LED report or a wheel step.
    virtual void HandleControlEvent(CDeviceDecoder& decoder) = 0;
    // A transport key came up.
    virtual void ReleaseControl(CDeviceDecoder& decoder) = 0;
};

// Where the device's LED reports go: the shared block's wheelLedOn, which the editor's panel follows.
class LedIndicator {
public:
    LedIndicator() = default;
    LedIndicator(const LedIndicator&) = delete;
    LedIndicator& operator=(const LedIndicator&) = delete;
    virtual ~LedIndicator() = default;
    virtual void SetWheelLedOn(int on) = 0;
};

// Wire format.
constexpr std::uint8_t kStatusButton = 0x80;
constexpr std::uint8_t kStatusWheel = 0x81;
constexpr std::uint8_t kStartByte = 0xB3; // the one byte the driver sends, right after opening the port
// A button message's data byte: the key (0 OPTION, 1 SHIFT, 2 to 6 the transport keys, 7 the LED key)
// and whether it went down; bits 3, 4, 5 and 7 are zero in every valid one.
constexpr std::uint8_t kKeyDown = 0x40;
constexpr std::uint8_t kKeyNumberMask = 0x07;
constexpr std::uint8_t kButtonReservedBits = 0xB8;

// A wheel data byte's direction (0 none, 1 counter-clockwise, 2 clockwise) and step size.
struct WheelStep {
    int direction;
    int magnitude;
};
WheelStep DecodeWheelByte(std::uint8_t data);

class CDeviceDecoder {
public:
    enum ParserState : std::uint8_t { kIdle = 0, kButtonData = 1, kWheelData = 2 };
    enum MessageKind : std::uint8_t { kNoMessage = 0, kButtonMessage = 1, kWheelMessage = 2 };

    CDeviceDecoder(ControlEventSink& dispatcher, LedIndicator& led, WheelTimer& idleTimer);
    CDeviceDecoder(const CDeviceDecoder&) = delete;
    CDeviceDecoder& operator=(const CDeviceDecoder&) = delete;

    // Consume one received byte.
    void ProcessByte(std::uint8_t byte);
    // The idle timer expired: the wheel is at rest.
    void StopWheels() { wheel->Stop(); }

    bool FireAssignment() const { return fireAssignment != 0; }
    int MessageKind() const { return messageKind; }
    int ControlIndex() const { return controlIndex; }
    int BankIndex() const { return bankIndex; }
    int Magnitude() const { return magnitude; }
    int EditorControlId() const { return editorControlId; }
    bool IsWheelRunning() const { return wheel->Running() != 0; }
    bool ShiftHeld() const { return shiftHeld != 0; }
    bool OptionHeld() const { return optionHeld != 0; }
    int ParserState() const { return parserState; }
    CWheelTracker& Wheel() { return *wheel; }
    const CWheelTracker& Wheel() const { return *wheel; }

private:
    void OnButtonData(std::uint8_t data);
    void OnWheelData(std::uint8_t data);
    void RecomputeBank();
    void SetMagnitude(int value);

    ControlEventSink& dispatcher_;
    LedIndicator& led_;
    WheelTimer& idleTimer_;

    std::int32_t fireAssignment = 0;
    std::int32_t shiftHeld = 0;
    std::int32_t optionHeld = 0;
    std::int32_t editorControlId = 0;
    std::uint8_t parserState = kIdle;
    std::uint8_t messageKind = kNoMessage;
    std::int32_t controlIndex = 1;
    std::int32_t bankIndex = 0;
    std::int8_t magnitude = 1;
    std::unique_ptr<CWheelTracker> wheel;
};

} // namespace qvl
