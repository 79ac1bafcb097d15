// Everything that comes from the device, taken one thing at a time: each received byte, and the
// expiry of the wheel's idle timer. Bytes arrive on the serial reader thread, the expiry on the
// timer's thread; one lock keeps them from working on the decoder, the dispatcher and the mouse
// object at the same time.
//
// The decoder arms the idle timer through this object, which numbers every arming: an expiry whose
// number is not the last one belongs to a timer that a later wheel step replaced, and is ignored.
#pragma once

#include "driver/core/control_dispatcher.h"
#include "driver/core/wheel_idle_timer.h"
#include "driver/device/device_decoder.h"

#include <cstdint>
#include <mutex>

namespace qvl {

class CDeviceInput final : private WheelTimer, private WheelIdleSink {
public:
    // Owns the decoder, which reports to `dispatcher` and `led`; connects to `timer` for its lifetime,
    // so the timer is made before this object and ends after it. `events`, when given, receives the
    // decoder's events in the dispatcher's place and passes them on to it (the driver's trace).
    CDeviceInput(CControlDispatcher& dispatcher, LedIndicator& led, WheelIdleTimer& timer,
                 ControlEventSink* events = nullptr);
    // Disconnects from the timer, waiting for an expiry in progress. The serial reader must have
    // stopped: no byte may arrive during or after this.
    ~CDeviceInput() override;

    // One received byte, in arrival order.
    void OnDeviceByte(std::uint8_t byte);
    // The wheel has rested for a second since the step that armed `token`: end a drag, stop the wheel.
    void OnWheelIdle(std::uint64_t token) override;

    // For inspection while nothing else runs.
    const CDeviceDecoder& Decoder() const { return decoder_; }

private:
    // The decoder's idle timer: arm the real one with the next token.
    bool Start() override;

    std::mutex lock_;
    CControlDispatcher& dispatcher_;
    WheelIdleTimer& timer_;
    std::uint64_t armed_ = 0;     // token of the expiry still to come, 0 when none is
    std::uint64_t lastToken_ = 0; // tokens count up from 1
    CDeviceDecoder decoder_;
};

} // namespace qvl
