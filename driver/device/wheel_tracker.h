// The jog wheel's motion: how far it has turned since the movement started and how fast.
#pragma once

#include <cstdint>

namespace qvl {

class CWheelTracker {
public:
    static constexpr std::int32_t kDeadBand = 5;
    static constexpr std::int32_t kSlowestSpeed = -60;
    static constexpr std::int32_t kFastestSpeed = 58; // the device's clockwise range is two short

    // One wheel message in direction 1 (counter-clockwise) or 2 (clockwise) with the magnitude already
    // set. The first message after a pause only starts a movement and answers false; later ones move
    // the position and answer true, and the caller restarts the idle timer.
    bool Step(int direction);
    // The idle timer expired: the next message starts a new movement.
    void Stop() { running = 0; }

    // The speed for an accumulated position: 5 towards zero, then clamped to -60..58.
    static std::int32_t SpeedFor(std::int32_t position);

    int Direction() const { return direction; }
    bool CaptureHeld() const { return captureHeld != 0; }
    // Set while the mouse emulation holds the left button and the capture for a drag or a scroll.
    void SetCaptureHeld(bool held) { captureHeld = held ? 1 : 0; }
    std::int32_t Position() const { return position; }
    std::int32_t Speed() const { return speed; }
    std::int8_t Magnitude() const { return magnitude; }
    void SetMagnitude(std::int8_t value) { magnitude = value; }
    int Running() const { return running; }
    int LedState() const { return ledState; }
    // 0 after the device reports the LED on (and initially), 1 after it reports it off.
    void SetLedState(int state) { ledState = static_cast<std::int16_t>(state); }

private:
    std::int32_t direction = 0;
    std::int32_t captureHeld = 0;
    std::int32_t position = 0;
    std::int32_t speed = 0;
    std::int8_t magnitude = 1;
    std::int32_t running = 0; // 0 at rest, else the direction of the step that started the movement
    std::int16_t ledState = 0;
};

} // namespace qvl
