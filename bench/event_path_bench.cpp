// The driver's per-event path: a device message decoded, its assignment looked up in the current
// keyset, its keystroke sent into an input stream that drops everything. Counts heap allocations per
// event: the steady path (same window in front, no saved changes) must not allocate at all beyond the
// one assignment copy it takes.
#include "driver/core/control_dispatcher.h"
#include "driver/device/device_decoder.h"
#include "model/memory_blocks.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

namespace {

std::atomic<long long> allocations{0};

} // namespace

// Every allocation of the program goes through here, so the benchmark can count them.
void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr)
        std::abort(); // a benchmark out of memory has nothing left to measure
    return block;
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

namespace qvl {
namespace {

class NullInput final : public InputSynth {
public:
    void Key(std::uint8_t vk, bool) override { benchmark::DoNotOptimize(vk); }
    void Mouse(std::uint32_t, std::int32_t, std::int32_t) override {}
};

// Two program windows; the benchmark says which one is in front.
class TwoWindows final : public Desktop {
public:
    WindowId ForegroundWindow() override { return foreground; }
    std::uint32_t WindowThreadProcess(WindowId window, std::uint32_t& processId) override {
        processId = static_cast<std::uint32_t>(window);
        return static_cast<std::uint32_t>(window) * 10;
    }
    void WindowText(WindowId, char* text, std::size_t) override { text[0] = '\0'; }
    void WindowClass(WindowId, char* name, std::size_t) override { name[0] = '\0'; }
    WindowId FindTopLevelWindow(const char*) override { return kNoWindow; }
    WindowId FindChildWindow(WindowId, const char*, const char*) override { return kNoWindow; }
    void EnumThreadWindows(std::uint32_t, WindowVisitor, void*) override {}
    void EnumChildWindows(WindowId, WindowVisitor, void*) override {}
    void SendCommand(WindowId, int) override {}
    WindowId foreground = 1;
};

class StillPointer final : public MousePointer {
public:
    Point ClientToScreen(WindowId, Point client) override { return client; }
    Point CursorPosition() override { return {}; }
    void SetCursorPosition(Point) override {}
    void SetCapture(WindowId) override {}
    void ReleaseCapture() override {}
    void BringToTop(WindowId) override {}
};

class NoQuestion final : public UserQuestion {
public:
    void AttachInput(std::uint32_t, bool) override {}
    bool AskOkCancel(const char*) override { return false; }
    void SetForeground(WindowId) override {}
};

// A system with fifty processes, two of which own the windows above.
class FiftyProcesses final : public ProcessSource {
public:
    bool GetProcessList(std::vector<std::string>& names, std::vector<std::uint32_t>& ids) override {
        for (std::uint32_t id = 1; id <= 50; ++id) {
            names.push_back("Program" + std::to_string(id));
            ids.push_back(id);
        }
        return true;
    }
};

// Keysets live in memory here; nothing is reloaded on the measured path.
class NoRegistry final : public Registry {
public:
    bool OpenKey(Key, const char*, Key&) override { return false; }
    bool CreateKey(Key, const char*, Key&) override { return false; }
    void CloseKey(Key) override {}
    bool QueryKeyInfo(Key, std::uint32_t&, std::uint32_t&) override { return false; }
    bool EnumSubkey(Key, std::uint32_t, char*, std::size_t) override { return false; }
    std::optional<std::size_t> ReadValue(Key, const char*, void*, std::size_t) override { return std::nullopt; }
    bool WriteBinary(Key, const char*, const void*, std::size_t) override { return false; }
    bool DeleteTree(Key, const char*) override { return false; }
};

class NoLock final : public KeysetLock {
public:
    bool Acquire() override { return true; }
    void Release() override {}
};

class NoTimer final : public WheelTimer {
public:
    bool Start() override { return true; }
};

class NoLed final : public LedIndicator {
public:
    void SetWheelLedOn(int) override {}
};

// The driver's objects with twenty keysets; program 1's keyset sends Ctrl+Shift+A for Play and the
// arrows for the wheel.
struct EventPath {
    NoStrings names;
    MemoryBlocks blocks;
    CSharedInfo shared{blocks};
    CKeysetStore store{shared, names};
    NoRegistry registry;
    NoLock lock;
    TwoWindows desktop;
    FiftyProcesses processes;
    NullInput input;
    StillPointer pointer;
    NoQuestion question;
    CControlDispatcher dispatcher{store, KeysetStorage{registry, lock}, desktop, processes, input, pointer, question};
    NoTimer timer;
    NoLed led;
    CDeviceDecoder decoder{dispatcher, led, timer};

    EventPath() {
        shared.Create();
        for (int k = 0; k < 20; ++k) {
            KeysetRecord record;
            InitKeyset(record, k == 0 ? "Default" : ("program" + std::to_string(k)).c_str(), 0, names);
            AssignmentAt(record, kMainBank, kPlay).hotKeyVk = 'A';
            AssignmentAt(record, kMainBank, kPlay).hotKeyMods = kHotKeyControl | kHotKeyShift;
            store.Add(record);
        }
        Feed({0x80, 0x40, 0x80, 0x00}); // the first event takes the process list and selects
    }
    void Feed(std::initializer_list<std::uint8_t> bytes) {
        for (std::uint8_t b : bytes)
            decoder.ProcessByte(b);
    }
};

void ReportAllocations(benchmark::State& state, long long before, int eventsPerIteration) {
    const double events = static_cast<double>(state.iterations()) * eventsPerIteration;
    state.counters["allocs/event"] = static_cast<double>(allocations.load() - before) / events;
    state.counters["events/s"] = benchmark::Counter(events, benchmark::Counter::kIsRate);
}

void PlayPressAndRelease(benchmark::State& state) {
    EventPath path;
    const long long before = allocations.load();
    for (auto _ : state)
        path.Feed({0x80, 0x45, 0x80, 0x05});
    ReportAllocations(state, before, 2);
}
BENCHMARK(PlayPressAndRelease);

void WheelStep(benchmark::State& state) {
    EventPath path;
    const long long before = allocations.load();
    for (auto _ : state)
        path.Feed({0x81, 0x7C}); // three steps clockwise
    ReportAllocations(state, before, 1);
}
BENCHMARK(WheelStep);

// Not the steady path: every press finds another window in front and takes the process list again.
void PressAfterForegroundChange(benchmark::State& state) {
    EventPath path;
    const long long before = allocations.load();
    for (auto _ : state) {
        path.desktop.foreground = path.desktop.foreground == 1 ? 2 : 1;
        path.Feed({0x80, 0x45, 0x80, 0x05});
    }
    ReportAllocations(state, before, 2);
}
BENCHMARK(PressAfterForegroundChange);

} // namespace
} // namespace qvl

BENCHMARK_MAIN();
