// The device decoder and the wheel tracker over any byte stream. The first input byte is a marker: where
// it occurs again, the wheel's idle timer expires instead of a byte arriving.
//
// Every event must equal what a second reading of the wire format gives: a table of the button keys
// and of the wheel byte's ranges, and a plain model of the modifiers, the LED and the wheel's motion.
#include "decoder_recorder.h"
#include "fuzz_check.h"

#include "model/keyset_record.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qvl {
namespace {

using fakes::DecodedEvent;
using fuzz::Require;

// The wheel byte: [first, last] turn in `direction` by `magnitude`, or by the byte itself (0), by
// 127 - byte (-1) or by 128 - byte (-2). Bytes in no range carry no step.
struct WheelRange {
    int first, last, direction, magnitude;
};
constexpr WheelRange kWheelRanges[] = {
    {1, 28, 1, 0}, {29, 62, 1, 29}, {64, 98, 2, 29}, {99, 124, 2, -1}, {125, 125, 2, 3}, {126, 127, 2, -2},
};

// Button keys 0 to 7: OPTION, SHIFT, the five transport keys, the LED key.
constexpr int kKeyControl[8] = {-1, -1, kRewind, kFastForward, kStop, kPlay, kRecord, -1};

struct Model {
    int pendingStatus = 0;
    bool option = false, shift = false, ledOn = true;
    int control = 1, bank = 0;
    int running = 0;
    std::int64_t position = 0;
    std::int32_t speed = 0;
    int timerStarts = 0;
    std::vector<int> led;
    std::vector<DecodedEvent> events;

    void Emit(DecodedEvent::Kind kind, bool fire, int messageKind, int magnitude, int editorId) {
        events.push_back({kind, fire, messageKind, control, bank, magnitude, editorId, running != 0,
                          static_cast<std::int32_t>(position), speed});
    }
    void TransportBank() { bank = (option ? 1 : 0) + (shift ? 2 : 0); }

    void Button(std::uint8_t data) {
        if ((data & 0xB8) != 0)
            return;
        const bool down = (data & 0x40) != 0;
        const int key = data & 7;
        if (key <= 1) {
            (key == 0 ? option : shift) = down;
            if (IsWheelControl(control))
                bank = ledOn ? kMainBank : kOptionBank;
            else
                TransportBank();
            if (down)
                Emit(DecodedEvent::kHandle, false, 1, 1, 1008 + key);
        } else if (key == 7) {
            ledOn = down;
            led.push_back(down ? 1 : 0);
            Emit(DecodedEvent::kHandle, false, 1, 1, down ? 1022 : 1023);
        } else {
            control = kKeyControl[key];
            if (down)
                TransportBank();
            Emit(down ? DecodedEvent::kHandle : DecodedEvent::kRelease, down, 1, 1, down ? 1008 + key : 0);
        }
    }

    void Wheel(std::uint8_t data) {
        for (const WheelRange& r : kWheelRanges) {
            if (data < r.first || data > r.last)
                continue;
            const int magnitude = r.magnitude > 0    ? r.magnitude
                                  : r.magnitude == 0 ? data
                                                     : (r.magnitude == -1 ? 127 : 128) - data;
            control = r.direction == 1 ? kWheelCounterClockwise : kWheelClockwise;
            bank = ledOn ? kMainBank : kOptionBank;
            if (running == 0) {
                running = r.direction;
                position = 0;
                speed = 0;
            } else {
                position += r.direction == 2 ? magnitude : -magnitude;
                const std::int64_t beyond = position > 5 ? position - 5 : position < -5 ? position + 5 : 0;
                speed = static_cast<std::int32_t>(beyond > 58 ? 58 : beyond < -60 ? -60 : beyond);
                ++timerStarts;
            }
            Emit(DecodedEvent::kHandle, true, 2, magnitude, r.direction == 1 ? 1015 : 1016);
            return;
        }
    }

    void Byte(std::uint8_t byte) {
        const int status = pendingStatus;
        pendingStatus = 0;
        if (status == 0x80)
            Button(byte);
        else if (status == 0x81)
            Wheel(byte);
        else if (byte == 0x80 || byte == 0x81)
            pendingStatus = byte;
    }
};

bool Same(const DecodedEvent& a, const DecodedEvent& b) {
    return a.kind == b.kind && a.fire == b.fire && a.messageKind == b.messageKind && a.control == b.control &&
           a.bank == b.bank && a.magnitude == b.magnitude && a.editorId == b.editorId &&
           a.wheelRunning == b.wheelRunning && a.position == b.position && a.speed == b.speed;
}

} // namespace
} // namespace qvl

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qvl;
    if (size == 0)
        return 0;
    fakes::DecoderRig rig;
    Model model;
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == data[0]) {
            rig.decoder.StopWheels();
            model.running = 0;
            continue;
        }
        rig.decoder.ProcessByte(data[i]);
        model.Byte(data[i]);
        Require(rig.sink.events.size() == model.events.size(), "one event per message that carries one");
        if (model.events.empty())
            continue;
        const DecodedEvent& e = rig.sink.events.back();
        Require(e.control >= kPlay && e.control <= kWheelClockwise, "control within 0..6");
        Require(e.bank >= kMainBank && e.bank <= kOptionShiftBank, "bank within 0..3");
        Require(e.magnitude >= 1 && e.magnitude <= 29, "magnitude within 1..29");
        Require(e.speed >= CWheelTracker::kSlowestSpeed && e.speed <= CWheelTracker::kFastestSpeed, "speed in range");
        Require(Same(e, model.events.back()), "the event the wire format gives");
    }
    Require(rig.led.states == model.led, "every LED report passed on");
    Require(rig.timer.starts == model.timerStarts, "the idle timer armed at every step of a movement");
    return 0;
}
