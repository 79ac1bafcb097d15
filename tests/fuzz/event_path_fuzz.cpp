// The whole event path over recording fakes: device bytes through the device input (its lock and the
// wheel's idle timer), the dispatcher, target tracking, keystrokes and the real mouse object.
//
// The input: two marker bytes (where the first occurs later the idle timer expires, where the second
// occurs the other program comes in front: the editor or "waveedit"), a count of assignments and eight
// bytes each (bank and control, key, modifiers, special key, mouse mode, wheel speed, click x and y)
// for the keyset "waveedit", then the device's bytes.
//
// No key code 0 is ever sent, and once every control is released and the wheel has come to rest no
// key and no mouse button is left down, but for a scroll, which holds its button until the wheel comes
// back or an assignment that is not a scroll runs: Play with a plain Enter then lets go of it.
#include "driver_rig.h"
#include "fuzz_check.h"

#include "driver/core/device_input.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace qvl {
namespace {

constexpr std::uint32_t kSpecials[] = {kSpecialNone,  kSpecialEnter,     kSpecialTab,    kSpecialShiftTab,
                                       kSpecialSpace, kSpecialBackspace, kSpecialDelete, 0x00020041};
constexpr std::size_t kAssignmentBytes = 8;

ControlAssignment AssignmentFrom(const std::uint8_t* b) {
    ControlAssignment a = fakes::KeyAssignment(b[1], b[2] & 0x0F, static_cast<std::int16_t>(b[4] % 8));
    a.specialKey = kSpecials[b[3] % 8];
    a.wheelSpeed = static_cast<std::int16_t>(b[5] % 128 + 1);
    a.captureOnFirstPress = b[3] >> 7;
    a.clickX = b[6] == 0xFF ? -1 : b[6];
    a.clickY = b[7] == 0xFF ? -1 : b[7];
    return a;
}

} // namespace
} // namespace qvl

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qvl;
    using fuzz::Require;
    if (size < 3)
        return 0;
    const std::uint8_t expiry = data[0];
    const std::uint8_t switchProgram = data[1];
    const std::size_t assignments = std::min<std::size_t>(data[2] % 16, (size - 3) / kAssignmentBytes);

    fakes::DriverRig rig(fakes::MouseKind::kReal);
    const int waveedit = rig.AddKeyset("waveedit");
    std::size_t at = 3;
    for (std::size_t i = 0; i < assignments; ++i, at += kAssignmentBytes)
        rig.Assign(waveedit, data[at] >> 6, data[at] % kControlCount, AssignmentFrom(data + at));
    rig.RunEditor();
    const WindowId editor = rig.desktop.foreground;
    const WindowId program = rig.Run("waveedit", 7);

    fakes::FakeIdleTimer timer;
    {
        CDeviceInput device(rig.dispatcher, rig.led, timer);
        for (; at < size; ++at) {
            if (data[at] == expiry)
                timer.Expire();
            else if (data[at] == switchProgram)
                rig.desktop.foreground = rig.desktop.foreground == program ? editor : program;
            else
                device.OnDeviceByte(data[at]);
        }
        // Let go of everything: a pending data byte, the modifiers, the transport keys, the wheel.
        for (std::uint8_t byte : {0x00, 0x80, 0x00, 0x80, 0x01})
            device.OnDeviceByte(byte);
        for (std::uint8_t key = 2; key <= 6; ++key) {
            device.OnDeviceByte(0x80);
            device.OnDeviceByte(key);
        }
        timer.Expire();
        Require(rig.input.down.empty() || rig.dispatcher.Mouse().IsScrollActive(),
                "nothing is left down once everything is released, but a running scroll");
        rig.desktop.foreground = program;
        rig.Assign(waveedit, kMainBank, kPlay, fakes::KeyAssignment(0x0D));
        for (std::uint8_t byte : {0x80, 0x45, 0x80, 0x05})
            device.OnDeviceByte(byte);
    }
    Require(std::none_of(rig.input.events.begin(), rig.input.events.end(),
                         [](const std::string& e) { return e == "+0x00" || e == "-0x00"; }),
            "no key code 0 is sent");
    Require(rig.input.down.empty(), "nothing is left down after a press that is not a scroll");
    return 0;
}
