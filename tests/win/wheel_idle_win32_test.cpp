// The wheel's idle timer over the multimedia timer, and the device's bytes racing its expiries.
#include "driver_rig.h"

#include "driver/core/device_input.h"
#include "driver/core/wheel_idle_timer_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace qvl {
namespace {

// Records every token it receives; optionally runs something first (waits on a lock, blocks).
class RecordingSink final : public WheelIdleSink {
public:
    void OnWheelIdle(std::uint64_t token) override {
        if (before)
            before();
        std::lock_guard<std::mutex> hold(lock_);
        tokens.push_back(token);
    }
    std::vector<std::uint64_t> Tokens() {
        std::lock_guard<std::mutex> hold(lock_);
        return tokens;
    }
    // Wait up to `ms` until `count` tokens arrived.
    std::vector<std::uint64_t> WaitFor(std::size_t count, DWORD ms = 5000) {
        for (DWORD waited = 0; waited < ms && Tokens().size() < count; waited += 5)
            Sleep(5);
        return Tokens();
    }
    std::function<void()> before;

private:
    std::mutex lock_;
    std::vector<std::uint64_t> tokens;
};

// Run `work` on its own thread; a hang fails the test and ends the program, which is all a deadlock
// leaves to do.
void WithinOrAbort(DWORD ms, const char* what, const std::function<void()>& work) {
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread runner([work, done] {
        work();
        *done = true;
    });
    for (DWORD waited = 0; waited < ms && !*done; waited += 10)
        Sleep(10);
    if (!*done) {
        std::fprintf(stderr, "%s did not end within %lu ms: deadlock\n", what, static_cast<unsigned long>(ms));
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    runner.join();
}

TEST(WheelIdleTimerWin32, ExpiresOnceWithTheTokenOfItsArming) {
    RecordingSink sink;
    Win32WheelIdleTimer timer(50);
    timer.Connect(sink);
    ASSERT_TRUE(timer.Arm(7));
    EXPECT_EQ(sink.WaitFor(1), std::vector<std::uint64_t>{7});
    Sleep(200);
    EXPECT_EQ(sink.Tokens(), std::vector<std::uint64_t>{7});
}

TEST(WheelIdleTimerWin32, ArmingAgainCancelsThePendingExpiry) {
    RecordingSink sink;
    Win32WheelIdleTimer timer(300);
    timer.Connect(sink);
    ASSERT_TRUE(timer.Arm(1));
    ASSERT_TRUE(timer.Arm(2));
    EXPECT_EQ(sink.WaitFor(1), std::vector<std::uint64_t>{2});
    Sleep(600);
    EXPECT_EQ(sink.Tokens(), std::vector<std::uint64_t>{2});
}

TEST(WheelIdleTimerWin32, NothingArrivesAfterDisconnect) {
    RecordingSink sink;
    Win32WheelIdleTimer timer(30);
    timer.Connect(sink);
    ASSERT_TRUE(timer.Arm(1));
    timer.Disconnect();
    Sleep(300);
    EXPECT_TRUE(sink.Tokens().empty());
}

// The device's thread holds its lock and re-arms while an expiry waits for that lock: the arming
// must not wait for the expiry.
TEST(WheelIdleTimerWin32, ArmingDoesNotWaitForAnExpiryThatWaitsForTheArmer) {
    std::mutex deviceLock;
    std::atomic<bool> waiting{false};
    RecordingSink sink;
    sink.before = [&] {
        waiting = true;
        std::lock_guard<std::mutex> hold(deviceLock);
    };
    Win32WheelIdleTimer timer(10);
    timer.Connect(sink);
    {
        std::unique_lock<std::mutex> hold(deviceLock);
        ASSERT_TRUE(timer.Arm(1));
        for (int waited = 0; waited < 5000 && !waiting; ++waited)
            Sleep(1);
        ASSERT_TRUE(waiting);
        WithinOrAbort(5000, "Arm while the expiry waits for the lock", [&timer] { timer.Arm(2); });
    }
    EXPECT_EQ(sink.WaitFor(2), (std::vector<std::uint64_t>{1, 2}));
    timer.Disconnect();
}

TEST(WheelIdleTimerWin32, DisconnectWaitsForADeliveryInProgress) {
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> entered{false};
    RecordingSink sink;
    sink.before = [&] {
        entered = true;
        WaitForSingleObject(release, 10000);
    };
    Win32WheelIdleTimer timer(10);
    timer.Connect(sink);
    ASSERT_TRUE(timer.Arm(1));
    for (int waited = 0; waited < 5000 && !entered; ++waited)
        Sleep(1);
    ASSERT_TRUE(entered);
    std::atomic<bool> disconnected{false};
    std::thread closer([&] {
        timer.Disconnect();
        disconnected = true;
    });
    Sleep(200);
    EXPECT_FALSE(disconnected);
    SetEvent(release);
    closer.join();
    EXPECT_TRUE(disconnected);
    EXPECT_EQ(sink.Tokens(), std::vector<std::uint64_t>{1});
    CloseHandle(release);
}

// Timers torn down while armed, and right as they fire: no late callback may touch a timer that is
// gone (a use after free would crash the program or corrupt its heap).
TEST(WheelIdleTimerWin32, TearDownWhileArmedOrFiring) {
    RecordingSink sink;
    for (int i = 0; i < 300; ++i) {
        auto timer = std::make_unique<Win32WheelIdleTimer>(1);
        timer->Connect(sink);
        timer->Arm(static_cast<std::uint64_t>(i) + 1);
        if (i % 3 != 0)
            Sleep(static_cast<DWORD>(i % 3));
        timer.reset();
    }
    const std::size_t delivered = sink.Tokens().size();
    Sleep(100);
    EXPECT_EQ(sink.Tokens().size(), delivered);
}

// The device's thread feeds wheel messages (and now and then a Play press) while the idle timer,
// shortened to a few milliseconds, keeps expiring on its own threads. Every drag must be whole: the
// button goes down before the pointer moves and comes up once, no output call overlaps another, and at
// the end every key and button is up.
TEST(DeviceInputWin32, IdleExpiriesRaceWheelMessagesWithoutTornState) {
    fakes::DriverRig rig(fakes::MouseKind::kReal);
    ControlAssignment clockwise = fakes::KeyAssignment('R', kHotKeyControl, kHorizontalDrag);
    clockwise.wheelSpeed = 128;
    ControlAssignment back = fakes::KeyAssignment('L', kHotKeyShift, kHorizontalDrag);
    back.wheelSpeed = 128;
    rig.Assign(0, kMainBank, kWheelClockwise, clockwise);
    rig.Assign(0, kMainBank, kWheelCounterClockwise, back);
    rig.Assign(0, kMainBank, kPlay, fakes::KeyAssignment('P'));
    rig.Run("editor", 7);

    Win32WheelIdleTimer timer(3);
    int plays = 0;
    {
        CDeviceInput device(rig.dispatcher, rig.led, timer);
        WithinOrAbort(120000, "the stress loop", [&device, &plays] {
            std::mt19937 random(20240611);
            for (int i = 0; i < 4000; ++i) {
                const unsigned roll = random() % 100;
                if (roll < 3) {
                    device.OnDeviceByte(0x80);
                    device.OnDeviceByte(0x45);
                    device.OnDeviceByte(0x80);
                    device.OnDeviceByte(0x05);
                    ++plays;
                } else {
                    const int magnitude = 1 + static_cast<int>(random() % 5);
                    device.OnDeviceByte(0x81);
                    device.OnDeviceByte(static_cast<std::uint8_t>(
                        random() % 2 != 0 ? fakes::Clockwise(magnitude) : fakes::CounterClockwise(magnitude)));
                }
                if (roll % 4 == 0)
                    Sleep(roll % 8); // long enough, now and then, for the timer to expire in between
            }
        });
        Sleep(200); // the last movement's expiry
    }

    int presses = 0;
    int releases = 0;
    bool held = false;
    for (const std::string& event : rig.input.events) {
        if (event == "+LButton") {
            ASSERT_FALSE(held) << "pressed twice";
            held = true;
            ++presses;
        } else if (event == "-LButton") {
            ASSERT_TRUE(held) << "released while up";
            held = false;
            ++releases;
        } else if (event.rfind("move ", 0) == 0) {
            ASSERT_TRUE(held) << "a drag moved without its button";
        }
    }
    EXPECT_FALSE(held);
    EXPECT_EQ(presses, releases);
    EXPECT_GT(releases, plays + 10) << "the idle timer hardly ever ended a drag";
    EXPECT_TRUE(rig.input.down.empty());
    EXPECT_EQ(rig.input.overlaps, 0);
    std::printf("%d drags, %d ended by Play presses or idle expiries, %zu output events\n", presses, releases,
                rig.input.events.size());
}

} // namespace
} // namespace qvl
