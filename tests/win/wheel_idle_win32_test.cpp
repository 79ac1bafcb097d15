// The wheel's idle timer over the multimedia timer, and the device's bytes racing its expiries.
//
// The tests wait for expiries themselves, never for the clock. Where a test shows that something
// does not happen (a second expiry, a late one), it gives it a short window to show up: a busy
// machine can only make such a test miss a fault, never fail a timer that works.
#include "driver_rig.h"
#include "win_test_support.h"

#include "driver/core/device_input.h"
#include "driver/core/wheel_idle_timer_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace qvl {
namespace {

using wintest::kPatienceMs;
using wintest::Latch;
using Tokens = std::vector<std::uint64_t>;

// Records every token it receives; optionally runs something first (waits on a lock, blocks).
class RecordingSink final : public WheelIdleSink {
public:
    void OnWheelIdle(std::uint64_t token) override {
        if (before)
            before();
        std::lock_guard<std::mutex> hold(lock_);
        tokens_.push_back(token);
        arrived_.notify_all();
    }
    Tokens Received() {
        std::lock_guard<std::mutex> hold(lock_);
        return tokens_;
    }
    // The tokens once `count` arrived, or after `ms`.
    Tokens WaitFor(std::size_t count, DWORD ms = kPatienceMs) {
        std::unique_lock<std::mutex> hold(lock_);
        arrived_.wait_for(hold, std::chrono::milliseconds(ms), [&] { return tokens_.size() >= count; });
        return tokens_;
    }
    std::function<void()> before;

private:
    std::mutex lock_;
    std::condition_variable arrived_;
    Tokens tokens_;
};

// How long a wrong extra expiry gets to show up.
constexpr DWORD kWindowMs = 300;

// Run `work` on its own thread; a hang fails the test and ends the program, which is all a deadlock
// leaves to do.
void WithinOrAbort(DWORD ms, const char* what, const std::function<void()>& work) {
    auto done = std::make_shared<Latch>();
    std::thread runner([work, done] {
        work();
        done->Set();
    });
    if (!done->Wait(ms)) {
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
    EXPECT_EQ(sink.WaitFor(1), Tokens{7});
    EXPECT_EQ(sink.WaitFor(2, kWindowMs), Tokens{7}) << "a one-shot expired again";
}

TEST(WheelIdleTimerWin32, ArmingAgainCancelsThePendingExpiry) {
    RecordingSink sink;
    Win32WheelIdleTimer timer(300);
    timer.Connect(sink);
    const auto began = std::chrono::steady_clock::now();
    ASSERT_TRUE(timer.Arm(1));
    ASSERT_TRUE(timer.Arm(2));
    // Only a machine that held this thread back for longer than the idle time lets 1 expire first.
    const bool rearmedInTime = std::chrono::steady_clock::now() - began < std::chrono::milliseconds(200);
    if (rearmedInTime) {
        EXPECT_EQ(sink.WaitFor(1), Tokens{2});
        EXPECT_EQ(sink.WaitFor(2, 2 * kWindowMs), Tokens{2}) << "the first arming expired too";
    } else {
        EXPECT_EQ(sink.WaitFor(2), (Tokens{1, 2}));
    }
}

TEST(WheelIdleTimerWin32, NothingArrivesAfterDisconnect) {
    RecordingSink sink;
    Win32WheelIdleTimer timer(100);
    timer.Connect(sink);
    ASSERT_TRUE(timer.Arm(1));
    timer.Disconnect();
    // Usually the expiry was still pending and is cancelled; on a slow run it may have been delivered
    // before Disconnect returned, never after.
    const Tokens atDisconnect = sink.Received();
    EXPECT_EQ(sink.WaitFor(atDisconnect.size() + 1, 2 * kWindowMs), atDisconnect);
}

// The device's thread holds its lock and re-arms while an expiry waits for that lock: the arming
// must not wait for the expiry.
TEST(WheelIdleTimerWin32, ArmingDoesNotWaitForAnExpiryThatWaitsForTheArmer) {
    std::mutex deviceLock;
    Latch waiting;
    RecordingSink sink;
    sink.before = [&] {
        waiting.Set();
        std::lock_guard<std::mutex> hold(deviceLock);
    };
    Win32WheelIdleTimer timer(10);
    timer.Connect(sink);
    {
        std::unique_lock<std::mutex> hold(deviceLock);
        ASSERT_TRUE(timer.Arm(1));
        ASSERT_TRUE(waiting.Wait());
        WithinOrAbort(kPatienceMs, "Arm while the expiry waits for the lock", [&timer] { timer.Arm(2); });
    }
    EXPECT_EQ(sink.WaitFor(2), (Tokens{1, 2}));
    timer.Disconnect();
}

TEST(WheelIdleTimerWin32, DisconnectWaitsForADeliveryInProgress) {
    Latch entered;
    Latch release;
    RecordingSink sink;
    sink.before = [&] {
        entered.Set();
        release.Wait();
    };
    Win32WheelIdleTimer timer(10);
    timer.Connect(sink);
    ASSERT_TRUE(timer.Arm(1));
    ASSERT_TRUE(entered.Wait());
    Latch disconnected;
    std::thread closer([&] {
        timer.Disconnect();
        disconnected.Set();
    });
    EXPECT_FALSE(disconnected.Wait(kWindowMs)) << "Disconnect returned while the sink was running";
    release.Set();
    closer.join();
    EXPECT_EQ(sink.Received(), Tokens{1});
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
            Sleep(static_cast<DWORD>(i % 3)); // now and then, the timer fires while it goes
        timer.reset();
    }
    const std::size_t delivered = sink.Received().size();
    EXPECT_EQ(sink.WaitFor(delivered + 1, kWindowMs).size(), delivered) << "an expiry after its timer went";
}

// The real timer, with a way to wait until the last arming has expired and been delivered.
class ObservedTimer final : public WheelIdleTimer, private WheelIdleSink {
public:
    explicit ObservedTimer(unsigned delayMs) : timer_(delayMs) {}
    void Connect(WheelIdleSink& sink) override {
        sink_ = &sink;
        timer_.Connect(*this);
    }
    bool Arm(std::uint64_t token) override {
        std::lock_guard<std::mutex> hold(lock_);
        armed_ = token;
        return timer_.Arm(token);
    }
    void Disconnect() override { timer_.Disconnect(); }
    // Wait until the token armed last came back (at once when it already has, or none was armed).
    bool WaitIdle() {
        std::unique_lock<std::mutex> hold(lock_);
        return idle_.wait_for(hold, std::chrono::milliseconds(kPatienceMs), [this] { return delivered_ == armed_; });
    }

private:
    void OnWheelIdle(std::uint64_t token) override {
        sink_->OnWheelIdle(token);
        std::lock_guard<std::mutex> hold(lock_);
        delivered_ = std::max(delivered_, token); // a stale expiry may come late
        idle_.notify_all();
    }

    Win32WheelIdleTimer timer_;
    WheelIdleSink* sink_ = nullptr;
    std::mutex lock_;
    std::condition_variable idle_;
    std::uint64_t armed_ = 0;
    std::uint64_t delivered_ = 0;
};

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

    ObservedTimer timer(3);
    int plays = 0;
    {
        CDeviceInput device(rig.dispatcher, rig.led, timer);
        WithinOrAbort(120000, "the stress loop", [&device, &plays, &timer] {
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
                if (roll % 8 == 4)
                    timer.WaitIdle(); // now and then the wheel rests: the expiry ends the drag
                else if (roll % 8 == 0)
                    Sleep(3); // and now and then its expiry races the next message
            }
        });
        EXPECT_TRUE(timer.WaitIdle()) << "the last movement's expiry";
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
