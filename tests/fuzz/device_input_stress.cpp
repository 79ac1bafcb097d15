// The device input's lock under ThreadSanitizer: a reader thread feeds the device's bytes (presses,
// the LED, wheel steps that drag), a timer thread delivers the wheel's idle expiries, the current one
// and stale ones, as fast as it can, and a third thread asks for the process list that the event path
// also takes. The device input is torn down while expiries still arrive. Any race is ThreadSanitizer's
// report; the output objects must also never be entered by two threads at once.
#include "ascii_code_page.h"
#include "driver_rig.h"
#include "perf_data_builder.h"
#include "process_list_fakes.h"
#include "recording_message_boxes.h"

#include "driver/core/device_input.h"
#include "driver/output/process_list.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>

namespace qvl {
namespace {

// An idle timer whose expiries the timer thread delivers; Disconnect waits for one in progress.
class ThreadedIdleTimer final : public WheelIdleTimer {
public:
    void Connect(WheelIdleSink& sink) override {
        std::lock_guard<std::mutex> hold(delivering_);
        sink_ = &sink;
    }
    // Relaxed: the token's way to the timer thread must not order anything for ThreadSanitizer, or it
    // would hide a read of the device input's state that skips the lock.
    bool Arm(std::uint64_t token) override {
        armed.store(token, std::memory_order_relaxed);
        return true;
    }
    void Disconnect() override {
        std::lock_guard<std::mutex> hold(delivering_);
        sink_ = nullptr;
    }
    void Expire(std::uint64_t token) {
        std::lock_guard<std::mutex> hold(delivering_);
        if (sink_ != nullptr) {
            sink_->OnWheelIdle(token);
            ++delivered;
        }
    }
    std::atomic<std::uint64_t> armed{0};
    std::atomic<long> delivered{0};

private:
    std::mutex delivering_;
    WheelIdleSink* sink_ = nullptr;
};

std::vector<char> Dword(std::uint32_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
            static_cast<char>(value >> 24)};
}

// The system as the process list reads it: counters without a Process object, then the snapshot.
struct Processes {
    Processes() {
        registry.Set(PerformanceRegistry::kPerflib, "Last Counter", Dword(1847));
        registry.Set(PerformanceRegistry::kPerflib, "Version", Dword(0x00050000));
        registry.Set(PerformanceRegistry::kPerformanceData, "Counter 009", testing::WindowsCounterText());
        registry.performanceData = testing::BuildPerfData({testing::MemoryObject()});
        snapshots.processes = {{"C:\\WAVEEDIT.EXE", 7}, {"NOTEPAD.EXE", 8}};
    }
    fakes::FakePerformanceRegistry registry;
    fakes::FakeSnapshots snapshots;
    fakes::AsciiCodePage codePage;
    fakes::RecordingMessageBoxes boxes;
    CProcessList list{"WINNT", registry, snapshots, codePage, boxes};
};

constexpr int kRounds = 20000;

} // namespace
} // namespace qvl

int main() {
    using namespace qvl;
    Processes processes;
    fakes::DriverRig rig(fakes::MouseKind::kReal);
    const int keyset = rig.AddKeyset("waveedit");
    rig.Assign(keyset, kMainBank, kWheelClockwise, fakes::KeyAssignment(0, 0, kHorizontalDrag));
    rig.Assign(keyset, kMainBank, kWheelCounterClockwise, fakes::KeyAssignment(0, 0, kHorizontalDrag));
    rig.Assign(keyset, kMainBank, kPlay, fakes::KeyAssignment('R', kHotKeyControl));
    const WindowId notepad = rig.Run("notepad", 8);
    const WindowId waveedit = rig.Run("waveedit", 7);
    CControlDispatcher dispatcher(rig.store, rig.keysets, rig.desktop, processes.list, rig.textCase, rig.player,
                                  rig.pointer, rig.question);
    ThreadedIdleTimer timer;
    std::atomic<bool> feeding{true};
    std::atomic<bool> expiring{true};
    long lists = 0;

    std::thread expiries([&] {
        while (expiring.load()) {
            const std::uint64_t current = timer.armed.load(std::memory_order_relaxed);
            timer.Expire(current);
            timer.Expire(current - 1); // overtaken by a later step
        }
    });
    std::thread asker([&] {
        while (feeding.load()) {
            std::vector<std::string> names;
            std::vector<std::uint32_t> ids;
            processes.list.GetProcessList(names, ids);
            ++lists;
        }
    });
    {
        CDeviceInput device(dispatcher, rig.led, timer);
        std::thread reader([&] {
            const std::uint8_t round[] = {0x81, 0x7E, 0x81, 0x7C, 0x81, 0x03, 0x80, 0x45, 0x80,
                                          0x05, 0x80, 0x07, 0x80, 0x47, 0x81, 0x70, 0x81, 0x70};
            for (int i = 0; i < kRounds; ++i) {
                // Another program in front every round: the event path takes the process list too.
                rig.desktop.foreground = i % 2 == 0 ? notepad : waveedit;
                for (std::uint8_t byte : round)
                    device.OnDeviceByte(byte);
            }
            feeding.store(false);
        });
        reader.join();
    } // the device input goes while expiries still arrive
    expiring.store(false);
    expiries.join();
    asker.join();

    std::printf("device input stress: %d rounds of bytes, %ld expiries delivered, %ld process lists, %d overlaps\n",
                kRounds, timer.delivered.load(), lists, rig.input.overlaps.load());
    return rig.input.overlaps.load() == 0 ? 0 : 1;
}
