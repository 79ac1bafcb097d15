#include "driver/device/device_decoder.h"

#include "model/keyset_record.h"

namespace qvl {

namespace {

constexpr int kKeyOption = 0;
constexpr int kKeyShift = 1;
constexpr int kKeyLed = 7;

// Control index of the transport keys 2 to 6 (Rewind, Fast Forward, Stop, Play, Record).
constexpr int kTransportControl[8] = {-1, -1, kRewind, kFastForward, kStop, kPlay, kRecord, -1};

} // namespace

WheelStep DecodeWheelByte(std::uint8_t data) {
    if (data == 0 || data == 63 || data > 127)
        return {0, 0};
    if (data <= 28)
        return {1, data};
    if (data <= 62)
        return {1, 29};
    if (data <= 98)
        return {2, 29};
    if (data <= 124)
        return {2, 127 - data};
    if (data == 125)
        return {2, 3};      // the device reports 125 like 124
    return {2, 128 - data}; // 126 is a step of 2, 127 a step of 1
}

CDeviceDecoder::CDeviceDecoder(ControlEventSink& dispatcher, LedIndicator& led, WheelTimer& idleTimer)
    : dispatcher_(dispatcher), led_(led), idleTimer_(idleTimer), wheel(std::make_unique<CWheelTracker>()) {}

void CDeviceDecoder::ProcessByte(std::uint8_t byte) {
    editorControlId = 0;
    fireAssignment = 0;
    if (parserState == kIdle) {
        // A data byte without its status byte is dropped.
        if (byte == kStatusButton)
            parserState = kButtonData;
        else if (byte == kStatusWheel)
            parserState = kWheelData;
        return;
    }
    // Whatever follows a status byte is its data byte, even another status byte.
    SetMagnitude(1);
    if (parserState == kButtonData) {
        messageKind = kButtonMessage;
        parserState = kIdle;
        OnButtonData(byte);
    } else {
        messageKind = kWheelMessage;
        parserState = kIdle;
        OnWheelData(byte);
    }
}

void CDeviceDecoder::SetMagnitude(int value) {
    magnitude = static_cast<std::int8_t>(value);
    wheel->SetMagnitude(magnitude);
}

// Transport controls take their bank from the modifiers; the wheel takes it from its LED alone.
void CDeviceDecoder::RecomputeBank() {
    if (IsWheelControl(controlIndex))
        bankIndex = wheel->LedState() != 0 ? kOptionBank : kMainBank;
    else
        bankIndex = (optionHeld != 0 ? 1 : 0) + (shiftHeld != 0 ? 2 : 0);
}

void CDeviceDecoder::OnButtonData(std::uint8_t data) {
    if ((data & kButtonReservedBits) != 0) {
        messageKind = kNoMessage;
        return;
    }
    const bool down = (data & kKeyDown) != 0;
    const int key = data & kKeyNumberMask;

    if (key == kKeyOption || key == kKeyShift) {
        std::int32_t& held = key == kKeyOption ? optionHeld : shiftHeld;
        held = down ? 1 : 0;
        RecomputeBank();
        if (down) {
            editorControlId = kEditorOption + key;
            dispatcher_.HandleControlEvent(*this);
        }
        return;
    }
    if (key == kKeyLed) {
        // The LED key reports the LED's new state; it fires nothing and leaves the bank alone.
        wheel->SetLedState(down ? 0 : 1);
        led_.SetWheelLedOn(down ? 1 : 0);
        editorControlId = down ? kEditorLedOn : kEditorLedOff;
        dispatcher_.HandleControlEvent(*this);
        return;
    }
    controlIndex = kTransportControl[key];
    if (down) {
        fireAssignment = 1;
        editorControlId = kEditorOption + key;
        RecomputeBank();
        dispatcher_.HandleControlEvent(*this);
    } else {
        // The release uses the bank as last computed, even if that was for a wheel step since.
        dispatcher_.ReleaseControl(*this);
    }
}

void CDeviceDecoder::OnWheelData(std::uint8_t data) {
    const WheelStep step = DecodeWheelByte(data);
    if (step.direction == 0) {
        messageKind = kNoMessage;
        return;
    }
    controlIndex = step.direction == 1 ? kWheelCounterClockwise : kWheelClockwise;
    editorControlId = step.direction == 1 ? kEditorWheelCounterClockwise : kEditorWheelClockwise;
    RecomputeBank();
    fireAssignment = 1;
    SetMagnitude(step.magnitude);
    if (wheel->Step(step.direction))
        idleTimer_.Start();
    dispatcher_.HandleControlEvent(*this);
}

} // namespace qvl
