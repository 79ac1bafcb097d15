#include "driver/core/device_input.h"

namespace qvl {

CDeviceInput::CDeviceInput(CControlDispatcher& dispatcher, LedIndicator& led, WheelIdleTimer& timer,
                           ControlEventSink* events)
    : dispatcher_(dispatcher), timer_(timer), decoder_(events != nullptr ? *events : dispatcher, led, *this) {
    timer_.Connect(*this);
}

CDeviceInput::~CDeviceInput() {
    timer_.Disconnect();
}

void CDeviceInput::OnDeviceByte(std::uint8_t byte) {
    std::lock_guard<std::mutex> hold(lock_);
    decoder_.ProcessByte(byte);
}

bool CDeviceInput::Start() {
    // Inside ProcessByte, under the lock. Arm does not wait for an expiry that waits for the lock.
    armed_ = ++lastToken_;
    return timer_.Arm(armed_);
}

void CDeviceInput::OnWheelIdle(std::uint64_t token) {
    std::lock_guard<std::mutex> hold(lock_);
    if (token == 0 || token != armed_)
        return; // a later step re-armed the timer while this expiry waited: the wheel is not idle
    armed_ = 0;
    dispatcher_.Mouse().EndWheelMotion(decoder_.Wheel());
    decoder_.StopWheels();
}

} // namespace qvl
