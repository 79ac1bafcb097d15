// The driver's event path wired to fakes: decoder -> dispatcher -> keystroke and mouse objects, over
// a keyset store, a registry in memory, a desktop of fake windows, a mouse pointer and a process list.
// The mouse object is a recording one that notes the dispatcher's calls, or the real one.
#pragma once

#include "ascii_text_case.h"
#include "decoder_recorder.h"
#include "fake_registry.h"
#include "output_fakes.h"

#include "driver/core/control_dispatcher.h"
#include "model/memory_blocks.h"

#include <initializer_list>
#include <memory>
#include <string>

namespace qvl::fakes {

inline ControlAssignment KeyAssignment(std::uint16_t vk, std::uint16_t mods = 0, std::int16_t mouseMode = 0) {
    ControlAssignment a;
    InitAssignment(a);
    a.hotKeyVk = vk;
    a.hotKeyMods = mods;
    a.mouseMode = mouseMode;
    return a;
}

// Wheel data bytes for a step of `magnitude` (1 to 29).
inline int Clockwise(int magnitude) {
    return magnitude == 29 ? 64 : magnitude <= 2 ? 128 - magnitude : 127 - magnitude;
}
inline int CounterClockwise(int magnitude) {
    return magnitude;
}

constexpr std::uint32_t kEditorProcess = 50;

enum class MouseKind { kRecording, kReal };

struct DriverRig {
    explicit DriverRig(MouseKind kind = MouseKind::kRecording) : mouseKind(kind) {
        shared.Create();
        AddKeyset("Default");
        input.onMouse = [this](std::uint32_t flags, std::int32_t dx, std::int32_t dy) {
            pointer.Follow(flags, dx, dy);
        };
    }

    MouseKind mouseKind;
    FakeStrings names = DriverStrings();
    MemoryBlocks blocks;
    CSharedInfo shared{blocks};
    CKeysetStore store{shared, names};
    FakeRegistry registry;
    FakeKeysetLock lock{registry.journal};
    Events journal; // key and mouse events, pointer and question calls, mouse-object calls, in order
    RecordingInput input{&journal};
    FakePlayerLoop loop;
    FixedKeyboardRepeat repeat;
    CStepPlayer player{input, loop, repeat};
    FakeDesktop desktop;
    FakePointer pointer{journal};
    FakeQuestion question{journal};
    FakeProcesses processes;
    AsciiTextCase textCase;
    RecordingMouse* mouse = nullptr; // the recording mouse object, when there is one
    FakeKeysetWatch watch{registry};
    CKeysetRegistry keysets{KeysetStorage{registry, lock, textCase, watch}}; // the driver's, beside its store
    CControlDispatcher dispatcher{store, keysets, desktop, processes, textCase, player, pointer, question, NewMouse()};
    RecordingLed led;
    CountingTimer timer;
    CDeviceDecoder decoder{dispatcher, led, timer};

    std::unique_ptr<MouseOutput> NewMouse() {
        if (mouseKind == MouseKind::kReal)
            return nullptr; // the dispatcher makes its own
        auto made = std::make_unique<RecordingMouse>(journal);
        mouse = made.get();
        return made;
    }
    int AddKeyset(const char* name) {
        KeysetRecord record;
        InitKeyset(record, name, 0, names);
        store.Add(record);
        return store.GetCount() - 1;
    }
    void Assign(int keyset, int bank, int control, const ControlAssignment& a) {
        store.SetAssignment(keyset, bank, control, a);
    }
    // A program with one top-level window, put in front.
    WindowId Run(const std::string& processName, std::uint32_t pid, const std::string& title = "window") {
        processes.processes.emplace_back(processName, pid);
        const WindowId window = desktop.Add({title, "AppWindow", kNoWindow, pid * 10, pid});
        desktop.foreground = window;
        return window;
    }
    // The editor's main window with its device panel; returns the panel.
    WindowId RunEditor() {
        processes.processes.emplace_back("QVL2", kEditorProcess);
        const WindowId main = desktop.Add({kEditorWindowTitle, "Frame", kNoWindow, 500, kEditorProcess});
        desktop.Add({"", "Static", main, 500, kEditorProcess});
        const WindowId panel = desktop.Add({"", kEditorPanelClass, main, 500, kEditorProcess});
        desktop.foreground = main;
        return panel;
    }
    void SaveKeysets() { keysets.SaveAll(store); }
    void Feed(std::initializer_list<int> bytes) {
        for (int b : bytes)
            decoder.ProcessByte(static_cast<std::uint8_t>(b));
    }
    Events Take() { return std::exchange(journal, Events()); } // keys and mouse-object calls
    Events Keys() {                                            // key events only
        journal.clear();
        return input.Take();
    }
};

} // namespace qvl::fakes
