// Fakes of the decoder's outlets that record every call with the decoder's state at that moment.
#pragma once

#include "driver/device/device_decoder.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace qvl::fakes {

struct DecodedEvent {
    enum Kind { kHandle, kRelease } kind;
    bool fire;
    int messageKind;
    int control;
    int bank;
    int magnitude;
    int editorId;
    bool wheelRunning;
    std::int32_t position;
    std::int32_t speed;
};

class RecordingSink final : public ControlEventSink {
public:
    void HandleControlEvent(CDeviceDecoder& decoder) override { Record(DecodedEvent::kHandle, decoder); }
    void ReleaseControl(CDeviceDecoder& decoder) override { Record(DecodedEvent::kRelease, decoder); }
    std::vector<DecodedEvent> events;

private:
    void Record(DecodedEvent::Kind kind, const CDeviceDecoder& d) {
        events.push_back({kind, d.FireAssignment(), d.MessageKind(), d.ControlIndex(), d.BankIndex(), d.Magnitude(),
                          d.EditorControlId(), d.IsWheelRunning(), d.Wheel().Position(), d.Wheel().Speed()});
    }
};

class RecordingLed final : public LedIndicator {
public:
    void SetWheelLedOn(int on) override { states.push_back(on); }
    std::vector<int> states;
};

class CountingTimer final : public WheelTimer {
public:
    bool Start() override {
        ++starts;
        return true;
    }
    int starts = 0;
};

// A decoder wired to recording fakes.
struct DecoderRig {
    RecordingSink sink;
    RecordingLed led;
    CountingTimer timer;
    CDeviceDecoder decoder{sink, led, timer};

    void Feed(std::initializer_list<int> bytes) {
        for (int b : bytes)
            decoder.ProcessByte(static_cast<std::uint8_t>(b));
    }
    const DecodedEvent& Last() const { return sink.events.back(); }
};

} // namespace qvl::fakes
