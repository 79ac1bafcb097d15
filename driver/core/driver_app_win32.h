// The driver qvl2rs.exe: a windowless program with an icon in the notification area. Its application
// object owns every driver object (the shared block through CQVLApp, the keyset store, the control
// dispatcher, the device decoder and the hidden window) and the system adapters they work through.
//
// Start-up builds them in a fixed order and opens the port; from then on the port's reader thread
// hands every byte to OnDeviceByte, and everything a byte sets off runs on that thread. The window
// thread serves the tray menu, whose Exit closes the port before the message loop ends; the exit
// processing then takes the objects down.
//
// Every key the driver presses goes through one player, which plays the events' keys and steps in their
// order on a thread of its own when they wait, and every key and button past its record of what is held;
// whenever the driver stops listening to the device (the port lost, Disable, Exit, Reload, the session
// ending or locked) it stops playing and lets go of everything still down. A port that goes away is opened
// again when it comes back; a port that cannot be opened is looked for (CTrayCommands), and a port stored
// while the driver runs is taken over at once: the driver watches "Settings" as it watches "Keysets".
#pragma once

#include "appbase/message_boxes_win32.h"
#include "appbase/module_strings_win32.h"
#include "appbase/qvl_app_win32.h"
#include "driver/core/control_dispatcher.h"
#include "driver/core/device_input.h"
#include "driver/core/driver_trace.h"
#include "driver/core/driver_wnd_win32.h"
#include "driver/core/note_feed.h"
#include "driver/core/note_wnd_win32.h"
#include "driver/core/shared_led.h"
#include "driver/core/trace_file_win32.h"
#include "driver/core/tray_commands.h"
#include "driver/core/wheel_idle_timer_win32.h"
#include "driver/device/error_reporter_win32.h"
#include "driver/device/port_listener_win32.h"
#include "driver/device/serial_link_win32.h"
#include "driver/output/desktop_win32.h"
#include "driver/output/input_synth_win32.h"
#include "driver/output/keyboard_repeat_win32.h"
#include "driver/output/step_player.h"
#include "driver/output/step_player_win32.h"
#include "driver/output/mouse_pointer_win32.h"
#include "driver/output/process_list_win32.h"
#include "driver/output/user_question_win32.h"
#include "model/keyset_lock_win32.h"
#include "model/keyset_watch_win32.h"
#include "model/keyset_registry.h"
#include "model/prefs_record.h"
#include "model/registry_win32.h"
#include "model/serial_ports_win32.h"
#include "model/text_case_win32.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace qvl {

class CDriverApp final : public CQVLApp,
                         private DeviceByteSink,
                         private PortFoundSink,
                         private DriverShell,
                         private TrackingObserver,
                         private NoteOutlet {
public:
    // `blocks` makes the shared blocks; null: the system's named file mappings.
    explicit CDriverApp(HINSTANCE instance, std::unique_ptr<NamedBlocks> blocks = nullptr);
    // Run always ends with the exit processing, which has taken the driver's parts down by then; the
    // members go in reverse order of their declaration.
    ~CDriverApp() override;

    bool InitInstance() override;
    int ExitInstance() override;

    // From the port's reader thread, once per received byte, in order.
    void OnDeviceByte(std::uint8_t byte) override;
    // From whichever thread found it: the port went away. The window thread takes it over.
    void OnPortLost() override;
    // From the listener's thread: the device is on COM`port`. The window thread takes it over.
    void OnPortFound(int port) override;

    // The tray, from the hidden window.
    TrayItem TrayToggle();
    void TraceMenu(const std::string& toggleText, unsigned toggleCommand);
    void TraceIcon(bool added);
    void RunTrayCommand(unsigned commandId);
    // Windows ends the session: close the port and run the exit processing now, and leave the loop.
    void EndSessionNow();
    // The port, from the hidden window: its loss, the retry timer, and the system's word that it may
    // be back (resume, device arrival).
    void PortLost();
    void RetryTick();
    void RetryNow();
    // The port the listener found, and "Settings" written by anybody (another port stored?).
    void PortFound();
    void SettingsWritten();
    // The icon and the tip as the port's state and the keyset in use say.
    void RefreshTray();
    void ReleaseHeldInput() override;

    UINT TrayMessage() const { return trayMessage_; }
    const CDriverWnd* DriverWindow() const { return &window_; }

private:
    // Everything start-up builds, declared in the order it is built, so that it goes in reverse: the
    // tray commands and the port first (closing the port stops its reader), then the decoder with
    // its idle timer, the dispatcher and the keyset store, all before the shared block they refer to.
    struct Parts;

    // DriverShell
    void ShowPortError(int port, long error) override;
    void RestoreWindow(WindowId window) override;
    bool StartProgram(const char* program) override;
    void CancelQuestion() override { question_.CancelAll(); }
    void ResumeQuestions() override { question_.Resume(); }
    void ExitProcessing() override { EndSession(); }
    void Quit(int exitCode) override { PostQuitMessage(exitCode); }
    void Notify(unsigned stringId, int port, long error) override;
    StoreResult StorePort(int port) override;
    void PortStateChanged() override;
    std::uint64_t NowMs() override { return GetTickCount64(); }

    // TrackingObserver, on the reader thread.
    void ForegroundTracked(int keysetIndex, const std::string& name, bool editor, bool testDialog,
                           const std::string& why) override;
    void ProgramUnreachable(const std::string& program) override;
    void ForwardDropped(int commandId) override;
    void KeysetsFailed(const char* action, const StoreResult& result) override;
    void StepsPlayed(int bank, int control, const char* which, const Steps& steps) override;
    void StepsUnreadable(const StepsProblem& problem) override;

    // NoteOutlet: a note waits (from the reader thread); the note settings as stored.
    void NoteWaiting() override { note_.PostNoteWaiting(); }
    NoteSettings ReadNoteSettings() override;
    // The note window, on the window thread: the note waiting, and the one it showed.
    std::optional<std::string> TakeNote();
    void NoteShown(const std::string& text);

    // Start-up's steps, in the order they run.
    void StartTrace();
    void BuildKeysetsAndDispatcher(CSharedInfo& shared);
    void BuildDeviceInput(CSharedInfo& shared);
    void OpenPort(CSharedInfo& shared);
    // Hear of writes to "Settings" from now on (a write since start-up's read is heard at once).
    void WatchSettings();

    KeysetStorage Storage() { return KeysetStorage{registry_, lock_, textCase_, watch_}; }
    void ShowMessage(unsigned stringId);
    InputSynth& TracedInput() { return tracedInput_ != nullptr ? static_cast<InputSynth&>(*tracedInput_) : input_; }
    // "COM7", and the system's reason for `error` to go inside a sentence.
    std::string PortText() const;
    std::string ErrorText(long error) const;
    // The port's reader must have stopped before the decoder goes; a question it waits on is
    // answered first.
    void StopReader();

    const UINT trayMessage_;

    // The system, as the driver's parts reach it.
    Win32Registry registry_;
    Win32KeysetLock lock_;
    Win32KeysetWatch watch_;
    ModuleStrings strings_;
    Win32MessageBoxes boxes_;
    Win32Desktop desktop_;
    Win32InputSynth input_;
    Win32KeyboardRepeat keyboardRepeat_;
    Win32MousePointer pointer_;
    Win32UserQuestion question_;
    Win32ErrorReporter reporter_;
    SystemTextCase textCase_;
    Win32SerialPortSource portList_;

    // The optional trace, and the input as the driver's parts press it: through the player and its record
    // of what is held down (whose late releases are never sent, nor traced), then through the trace. The
    // player's loop goes first, so that no thread plays while the player goes.
    std::unique_ptr<Win32TraceFile> traceFile_;
    std::unique_ptr<CDriverTrace> trace_;
    std::unique_ptr<TracingInput> tracedInput_;
    std::unique_ptr<CStepPlayer> player_;
    Win32PlayerLoop playerLoop_;

    // The hidden window lives as long as the application: a tray command running in it may run the
    // exit processing, which destroys the window itself (its handle), not this object.
    CDriverWnd window_;
    // The on-screen note, made after the hidden window and destroyed before it.
    CNoteWnd note_;

    std::unique_ptr<Parts> parts_;
    // "Settings": made after the hidden window, which it posts to, and ended before it.
    Win32KeysetWatch settingsWatch_;

    // The keyset in use, as the tray's tip shows it: written on the reader thread, read on the window
    // thread.
    std::mutex keysetLock_;
    std::string keysetName_;
    // The port was lost before the window could take it over (at start-up): told once it exists. The
    // reader sets this, then posts to the window's published handle; start-up publishes the handle,
    // then reads this. Both atomic: one of the two at least sees the other's write.
    std::atomic<bool> lostPending_{false};
    // The port the listener found, waiting for the window thread (0: none); posted the same way.
    std::atomic<int> foundPending_{0};
    std::string shownTip_; // the tip and icon as the tray shows them, on the window thread
    bool shownConnected_ = true;
    bool startFailed_ = false;
};

} // namespace qvl
