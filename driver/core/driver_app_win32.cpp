#include "driver/core/driver_app_win32.h"

#include "base/module_path_win32.h"
#include "base/unique_handle_win32.h"
#include "driver/res/resource.h"
#include "framework/string_table.h"

#include <vector>

namespace qvl {

CDriverApp::CDriverApp(HINSTANCE instance, std::unique_ptr<NamedBlocks> blocks)
    : CQVLApp(instance, std::move(blocks)),
      // Registered before the application initialises: the icon calls back with it.
      trayMessage_(RegisterWindowMessageA(kTrayMessageName)), strings_(instance),
      boxes_(framework::LoadResourceString(instance, IDS_CAPTION)),
      question_(framework::LoadResourceString(instance, IDS_CAPTION)) {}

CDriverApp::~CDriverApp() {
    // Whatever the exit processing left (it did not run when start-up failed early).
    StopReader();
    deviceInput_.reset();
    SetStore(nullptr);
    dispatcher_.reset();
    store_.reset();
}

bool CDriverApp::InitInstance() {
    traceFile_ = Win32TraceFile::FromEnvironment();
    if (traceFile_ != nullptr) {
        trace_ = std::make_unique<CDriverTrace>(*traceFile_);
        tracedInput_ = std::make_unique<TracingInput>(input_, *trace_);
    }

    // 1. The platform name.
    DeterminePlatformName();
    if (trace_ != nullptr)
        trace_->Start(GetOSName());

    // 2. The shared blocks. Without them there is no keyset selection to share and nothing for the
    // tray to show: the driver says so and does not start.
    if (!CreateSharedInfo()) {
        ShowMessage(IDS_NO_SHARED_BLOCK);
        startFailed_ = true;
        return false;
    }
    CSharedInfo& shared = *GetSharedInfo();

    // 3. The keysets: the stored ones (or "Default"), the current one as the shared block names it,
    // then saved, which tells the editor (and this driver's next event) to reload.
    store_ = std::make_unique<CKeysetStore>(shared, strings_);
    SetStore(store_.get());
    LoadOrCreate(*store_, Storage());
    store_->SetCurrentIndex(store_->GetCurrentIndex());
    SaveAllKeysets(*store_, Storage());

    // 4. The dispatcher, with its keystroke and mouse objects.
    processes_ = std::make_unique<Win32ProcessList>(GetOSName().c_str(), boxes_);
    dispatcher_ =
        std::make_unique<CControlDispatcher>(*store_, Storage(), desktop_, *processes_, Input(), pointer_, question_);
    if (trace_ != nullptr)
        dispatcher_->SetTrackingObserver(trace_.get());

    // 5. The preferences: the defaults unless the registry has them. The driver only reads them; the
    // editor owns them, so the driver's own saves leave them alone.
    prefs_ = std::make_unique<PrefsRecord>();
    {
        CKeysetRegistry registry(Storage());
        registry.ReadPrefs(*prefs_);
    }

    // 7. The decoder, before the port opens: the reader thread hands over bytes from its first read
    // on, and a device that sends at once (or bytes that waited in the line) must find it there.
    idleTimer_ = std::make_unique<Win32WheelIdleTimer>();
    led_ = std::make_unique<SharedInfoLed>(shared);
    if (trace_ != nullptr)
        tracedEvents_ = std::make_unique<TracingEvents>(*dispatcher_, *trace_);
    deviceInput_ = std::make_unique<CDeviceInput>(*dispatcher_, *led_, *idleTimer_, tracedEvents_.get());

    // 6. The port, and the start byte; or the box that says it could not be opened.
    DeviceByteSink& bytes = *this;
    DriverShell& shell = *this;
    link_ = std::make_unique<CSerialLink>(bytes, reporter_);
    if (trace_ != nullptr)
        tracedLink_ = std::make_unique<TracingLink>(*link_, *trace_);
    commands_ = std::make_unique<CTrayCommands>(Link(), shared, *processes_, desktop_, shell, prefs_->comPort);
    commands_->OpenAtStart();

    // 8. The hidden main window, and 9. the tray icon on it.
    window_ = std::make_unique<CDriverWnd>(*this, trayMessage_);
    if (!window_->CreateHidden(Instance())) {
        startFailed_ = true;
        return false;
    }
    SetMainWindow(window_.get());
    TraceIcon(window_->AddTrayIcon());
    return true;
}

int CDriverApp::ExitInstance() {
    if (window_ != nullptr)
        window_->RemoveTrayIcon();
    // Exit and Reload Driver have closed the port; a loop that ended otherwise (the session's end) has
    // not, and the reader must not outlive the decoder.
    StopReader();
    deviceInput_.reset();
    idleTimer_.reset();
    if (window_ != nullptr)
        window_->Destroy();
    SetStore(nullptr);
    store_.reset();
    dispatcher_.reset();
    led_.reset();
    prefs_.reset();
    if (trace_ != nullptr)
        trace_->Exit();
    const int code = CQVLApp::ExitInstance();
    return startFailed_ ? 1 : code;
}

void CDriverApp::OnDeviceByte(std::uint8_t byte) {
    if (trace_ != nullptr)
        trace_->Byte(byte);
    // Bytes come only while the port is open, and the port is closed before the decoder goes.
    if (deviceInput_ != nullptr)
        deviceInput_->OnDeviceByte(byte);
}

TrayItem CDriverApp::TrayToggle() {
    if (commands_ == nullptr)
        return TrayItem{IDS_ENABLE, ID_ENABLE};
    return commands_->ToggleItem();
}

void CDriverApp::TraceMenu(const std::string& toggleText, unsigned toggleCommand) {
    if (trace_ != nullptr)
        trace_->Menu(toggleText, toggleCommand);
}

void CDriverApp::TraceIcon(bool added) {
    if (trace_ != nullptr)
        trace_->Icon(added);
}

void CDriverApp::RunTrayCommand(unsigned commandId) {
    if (trace_ != nullptr)
        trace_->Command(commandId);
    if (commands_ != nullptr)
        commands_->Run(commandId);
    else if (commandId == ID_EXIT)
        PostQuitMessage(0);
}

void CDriverApp::EndSessionNow() {
    StopReader();
    EndSession();
    // The system ends the process once the window has answered; should it not, the loop ends here.
    PostQuitMessage(0);
}

void CDriverApp::ShowPortError() {
    ShowMessage(IDS_PORT_ERROR);
}

void CDriverApp::ShowMessage(unsigned stringId) {
    const std::string text = framework::LoadResourceString(Instance(), stringId);
    const std::string caption = framework::LoadResourceString(Instance(), IDS_CAPTION);
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
}

void CDriverApp::RestoreWindow(WindowId window) {
    const HWND hwnd = reinterpret_cast<HWND>(window);
    SetForegroundWindow(hwnd);
    ShowWindow(hwnd, SW_RESTORE);
}

bool CDriverApp::StartProgram(const char* program) {
    const std::string path = ModuleFolder(nullptr) + program;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return false;
    // Nothing waits for the program: both handles close at once.
    const KernelHandle thread(started.hThread);
    const KernelHandle process(started.hProcess);
    return true;
}

void CDriverApp::StopReader() {
    if (link_ == nullptr || !link_->IsOpen())
        return;
    question_.CancelAll();
    Link().Close();
}

} // namespace qvl
