// The driver's per-event path: a device message decoded, its assignment looked up in the current
// keyset, its keystroke sent into an input stream that drops everything. Counts heap allocations per
// event: the steady path (same window in front, no saved changes) must not allocate at all beyond the
// one assignment copy it takes.
#include "driver/core/control_dispatcher.h"
#include "driver/device/device_decoder.h"
#include "model/memory_blocks.h"
#include "tests/unit/ascii_text_case.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
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

// Two program windows; the benchmark says which one is in front. The thread of window 1 (thread 10)
// also owns twenty top-level windows ("Window 0" ...) with ten children each ("Child 0" of class
// "Pane 0" ...), for the search of a click's window.
class TwoWindows final : public Desktop {
public:
    static constexpr WindowId kFirstTopLevel = 100;
    static constexpr WindowId kFirstChild = 10000;
    static constexpr int kTopLevels = 20;
    static constexpr int kChildren = 10;

    WindowId ForegroundWindow() override { return foreground; }
    std::uint32_t WindowThreadProcess(WindowId window, std::uint32_t& processId) override {
        processId = static_cast<std::uint32_t>(window);
        return static_cast<std::uint32_t>(window) * 10;
    }
    void WindowText(WindowId window, char* text, std::size_t size) override {
        if (window >= kFirstChild)
            std::snprintf(text, size, "Child %d", static_cast<int>((window - kFirstChild) % 100));
        else if (window >= kFirstTopLevel)
            std::snprintf(text, size, "Window %d", static_cast<int>(window - kFirstTopLevel));
        else
            text[0] = '\0';
    }
    void WindowClass(WindowId window, char* name, std::size_t size) override {
        if (window >= kFirstChild)
            std::snprintf(name, size, "Pane %d", static_cast<int>((window - kFirstChild) % 100));
        else
            std::snprintf(name, size, "Frame");
    }
    WindowId FindTopLevelWindow(const char*) override { return kNoWindow; }
    WindowId FindChildWindow(WindowId, const char*, const char*) override { return kNoWindow; }
    void EnumThreadWindows(std::uint32_t threadId, WindowVisitor visit, void* context) override {
        if (threadId != 10)
            return;
        for (int t = 0; t < kTopLevels; ++t)
            if (!visit(kFirstTopLevel + static_cast<WindowId>(t), context))
                return;
    }
    void EnumChildWindows(WindowId parent, WindowVisitor visit, void* context) override {
        if (parent < kFirstTopLevel || parent >= kFirstChild)
            return;
        for (int c = 0; c < kChildren; ++c)
            if (!visit(kFirstChild + (parent - kFirstTopLevel) * 100 + static_cast<WindowId>(c), context))
                return;
    }
    bool SendCommand(WindowId, int) override { return true; }
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
    Point ScreenSize() override { return {1024, 768}; }
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
    RegStatus OpenKey(Key, const char*, Key&) override { return RegStatus::Error(2); }
    RegStatus CreateKey(Key, const char*, Key&) override { return RegStatus::Error(5); }
    void CloseKey(Key) override {}
    bool QueryKeyInfo(Key, std::uint32_t&, std::uint32_t&) override { return false; }
    bool EnumSubkey(Key, std::uint32_t, char*, std::size_t) override { return false; }
    std::optional<std::size_t> ReadValue(Key, const char*, void*, std::size_t) override { return std::nullopt; }
    std::optional<std::uint32_t> CountValues(Key) override { return std::nullopt; }
    std::optional<std::u16string> ReadText16(Key, const char*, std::size_t) override { return std::nullopt; }
    std::optional<std::uint32_t> ReadDword(Key, const char*) override { return std::nullopt; }
    RegStatus WriteBinary(Key, const char*, const void*, std::size_t) override { return RegStatus::Error(5); }
    RegStatus WriteText(Key, const char*, const char*) override { return RegStatus::Error(5); }
    RegStatus WriteText16(Key, const char*, std::u16string_view) override { return RegStatus::Error(5); }
    RegStatus WriteDword(Key, const char*, std::uint32_t) override { return RegStatus::Error(5); }
    RegStatus DeleteValue(Key, const char*, const char*) override { return RegStatus::Error(5); }
    RegStatus DeleteTree(Key, const char*) override { return RegStatus::Error(5); }
};

class NoWatch final : public KeysetWatch {
public:
    void Arm(const std::string&) override {}
    bool Changed() override { return true; }
    void OnWritten(std::function<void()>) override {}
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

// The driver's objects with twenty keysets (or `count`); program 1's keyset sends Ctrl+Shift+A for Play
// and the arrows for the wheel. With `ruled`, the later half of the keysets have window rules for
// program 1 whose titles its window never has, so that every press reads the title and weighs them all.
struct EventPath {
    NoStrings names;
    MemoryBlocks blocks;
    CSharedInfo shared{blocks};
    CKeysetStore store{shared, names};
    NoRegistry registry;
    NoLock lock;
    TwoWindows desktop;
    FiftyProcesses processes;
    AsciiTextCase textCase; // letters A to Z, about what the system's rule costs for these names
    NullInput input;
    StillPointer pointer;
    NoQuestion question;
    NoWatch watch;
    CKeysetRegistry keysets{KeysetStorage{registry, lock, textCase, watch}};
    CControlDispatcher dispatcher{store, keysets, desktop, processes, textCase, input, pointer, question};
    NoTimer timer;
    NoLed led;
    CDeviceDecoder decoder{dispatcher, led, timer};

    explicit EventPath(int count = 20, bool ruled = false) {
        shared.Create();
        for (int k = 0; k < count; ++k) {
            KeysetRecord record;
            InitKeyset(record, k == 0 ? "Default" : ("program" + std::to_string(k)).c_str(), 0, names);
            AssignmentAt(record, kMainBank, kPlay).hotKeyVk = 'A';
            AssignmentAt(record, kMainBank, kPlay).hotKeyMods = kHotKeyControl | kHotKeyShift;
            // Stop clicks into the last "Child 9" of the window search; the LED-off wheel drags.
            ControlAssignment& stop = AssignmentAt(record, kMainBank, kStop);
            stop.mouseMode = kLeftClick;
            stop.clickX = 10;
            stop.clickY = 10;
            CopyToField(stop.windowTitle, "Child 9");
            CopyToField(stop.windowClass, "Pane 9");
            for (int control : {kWheelCounterClockwise, kWheelClockwise}) {
                ControlAssignment& drag = AssignmentAt(record, kOptionBank, control);
                drag.mouseMode = kHorizontalDrag;
                drag.wheelSpeed = 128;
            }
            store.Add(record);
            if (ruled && k >= count / 2)
                store.SetRule(k, WindowRule{"program1", "Tab " + std::to_string(k), ""});
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

// A click aimed at its window: the search of 220 windows, the pointer's jump, button down and up and
// the cursor put back.
void ClickAimedAtAWindow(benchmark::State& state) {
    EventPath path;
    const long long before = allocations.load();
    for (auto _ : state)
        path.Feed({0x80, 0x44, 0x80, 0x04});
    ReportAllocations(state, before, 2);
}
BENCHMARK(ClickAimedAtAWindow);

// A drag held by the wheel (LED off): every message moves the pointer.
void WheelDragStep(benchmark::State& state) {
    EventPath path;
    path.Feed({0x80, 0x07, 0x81, 0x7C, 0x81, 0x7C}); // LED off; the drag starts
    const long long before = allocations.load();
    for (auto _ : state)
        path.Feed({0x81, 0x7C});
    ReportAllocations(state, before, 1);
}
BENCHMARK(WheelDragStep);

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

// The same window in front with a hundred keysets, without and with window rules (half of them):
// with rules each press reads the window's title and weighs every keyset again.
void PressWithHundredKeysets(benchmark::State& state) {
    EventPath path(100, state.range(0) != 0);
    const long long before = allocations.load();
    for (auto _ : state)
        path.Feed({0x80, 0x45, 0x80, 0x05});
    ReportAllocations(state, before, 2);
}
BENCHMARK(PressWithHundredKeysets)->ArgName("rules")->Arg(0)->Arg(1);

} // namespace
} // namespace qvl

BENCHMARK_MAIN();
