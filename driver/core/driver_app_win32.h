// The driver qvl2rs.exe: a windowless program with an icon in the notification area. Its application
// object owns every driver object (the shared block through CQVLApp, the keyset store, the control
// dispatcher, the device decoder and the hidden window) and the system adapters they work through.
//
// Start-up builds them in a fixed order and opens the port; from then on the port's reader thread
// hands every byte to OnDeviceByte, and everything a byte sets off runs on that thread. The window
// thread serves the tray menu, whose Exit closes the port before the message loop ends; the exit
// processing then takes the objects down.
#pragma once

#include "appbase/message_boxes_win32.h"
#include "appbase/module_strings_win32.h"
#include "appbase/qvl_app_win32.h"
#include "driver/core/control_dispatcher.h"
#include "driver/core/device_input.h"
#include "driver/core/driver_trace.h"
#include "driver/core/driver_wnd_win32.h"
#include "driver/core/shared_led.h"
#include "driver/core/trace_file_win32.h"
#include "driver/core/tray_commands.h"
#include "driver/core/wheel_idle_timer_win32.h"
#include "driver/device/error_reporter_win32.h"
#include "driver/device/serial_link_win32.h"
#include "driver/output/desktop_win32.h"
#include "driver/output/input_synth_win32.h"
#include "driver/output/mouse_pointer_win32.h"
#include "driver/output/process_list_win32.h"
#include "driver/output/user_question_win32.h"
#include "model/keyset_lock_win32.h"
#include "model/keyset_registry.h"
#include "model/prefs_record.h"
#include "model/registry_win32.h"

#include <memory>
#include <string>

namespace qvl {

class CDriverApp final : public CQVLApp, private DeviceByteSink, private DriverShell {
public:
    // `blocks` makes the shared blocks; null: the system's named file mappings.
    explicit CDriverApp(HINSTANCE instance, std::unique_ptr<NamedBlocks> blocks = nullptr);
    ~CDriverApp() override;

    bool InitInstance() override;
    int ExitInstance() override;

    // From the port's reader thread, once per received byte, in order.
    void OnDeviceByte(std::uint8_t byte) override;

    // The tray, from the hidden window.
    TrayItem TrayToggle();
    void TraceMenu(const std::string& toggleText, unsigned toggleCommand);
    void TraceIcon(bool added);
    void RunTrayCommand(unsigned commandId);
    // Windows ends the session: close the port and run the exit processing now, and leave the loop.
    void EndSessionNow();

    UINT TrayMessage() const { return trayMessage_; }
    const CDriverWnd* DriverWindow() const { return window_.get(); }

private:
    // DriverShell
    void ShowPortError() override;
    void RestoreWindow(WindowId window) override;
    bool StartProgram(const char* program) override;
    void CancelQuestion() override { question_.CancelAll(); }
    void ResumeQuestions() override { question_.Resume(); }
    void ExitProcessing() override { EndSession(); }
    void Quit(int exitCode) override { PostQuitMessage(exitCode); }

    KeysetStorage Storage() { return KeysetStorage{registry_, lock_}; }
    void ShowMessage(unsigned stringId);
    InputSynth& Input() { return tracedInput_ != nullptr ? static_cast<InputSynth&>(*tracedInput_) : input_; }
    DeviceLink& Link() { return tracedLink_ != nullptr ? static_cast<DeviceLink&>(*tracedLink_) : *link_; }
    // The port's reader must have stopped before the decoder goes.
    void StopReader();

    const UINT trayMessage_;

    // The system, as the driver's parts reach it.
    Win32Registry registry_;
    Win32KeysetLock lock_;
    ModuleStrings strings_;
    Win32MessageBoxes boxes_;
    Win32Desktop desktop_;
    Win32InputSynth input_;
    Win32MousePointer pointer_;
    Win32UserQuestion question_;
    Win32ErrorReporter reporter_;
    std::unique_ptr<Win32ProcessList> processes_; // by the platform name

    // The optional trace, and what reports to it.
    std::unique_ptr<Win32TraceFile> traceFile_;
    std::unique_ptr<CDriverTrace> trace_;
    std::unique_ptr<TracingInput> tracedInput_;
    std::unique_ptr<TracingLink> tracedLink_;
    std::unique_ptr<TracingEvents> tracedEvents_;

    // The driver's objects.
    std::unique_ptr<CDriverWnd> window_;
    std::unique_ptr<CControlDispatcher> dispatcher_;
    std::unique_ptr<CDeviceInput> deviceInput_; // the decoder, fed under one lock with the wheel's idle end
    std::unique_ptr<CKeysetStore> store_;
    std::unique_ptr<PrefsRecord> prefs_;
    std::unique_ptr<SharedInfoLed> led_;
    std::unique_ptr<Win32WheelIdleTimer> idleTimer_; // made before the decoder's input, ends after it
    std::unique_ptr<CSerialLink> link_;
    std::unique_ptr<CTrayCommands> commands_;
    bool startFailed_ = false;
};

} // namespace qvl
