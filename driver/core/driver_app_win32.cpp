#include "driver/core/driver_app_win32.h"

#include "base/module_path_win32.h"
#include "base/system_error_text_win32.h"
#include "base/unique_handle_win32.h"
#include "driver/output/process_rights_win32.h"
#include "driver/res/resource.h"
#include "framework/string_table.h"
#include "model/port_name.h"
#include "model/prefs_storage.h"

namespace qvl {

namespace {

const char* StateName(PortState state) {
    switch (state) {
        case PortState::kConnected:
            return "connected";
        case PortState::kRetrying:
            return "retrying";
        case PortState::kListening:
            return "listening";
        default:
            return "disabled";
    }
}

} // namespace

struct CDriverApp::Parts {
    std::unique_ptr<CKeysetStore> store;
    std::unique_ptr<CKeysetRegistry> keysets;    // what is stored of the list
    std::unique_ptr<Win32ProcessList> processes; // by the platform name
    Win32ProcessRights rights;
    std::unique_ptr<CNoteFeed> notes; // told by the dispatcher, so made before it
    std::unique_ptr<CControlDispatcher> dispatcher;
    Preferences prefs;
    std::unique_ptr<Win32WheelIdleTimer> idleTimer; // made before the decoder's input, ends after it
    std::unique_ptr<SharedInfoLed> led;
    std::unique_ptr<TracingEvents> tracedEvents;
    std::unique_ptr<CDeviceInput> deviceInput; // the decoder, fed under one lock with the wheel's idle end
    std::unique_ptr<CSerialLink> link;         // closed before the decoder goes
    std::unique_ptr<TracingLink> tracedLink;
    std::unique_ptr<CPortListener> listener; // stopped (its thread ended) when it goes
    std::unique_ptr<TracingListener> tracedListener;
    std::unique_ptr<CTrayCommands> commands;

    DeviceLink& Link() { return tracedLink != nullptr ? static_cast<DeviceLink&>(*tracedLink) : *link; }
    PortListener& Listener() {
        return tracedListener != nullptr ? static_cast<PortListener&>(*tracedListener) : *listener;
    }
};

CDriverApp::CDriverApp(HINSTANCE instance, std::unique_ptr<NamedBlocks> blocks)
    : CQVLApp(instance, std::move(blocks)),
      // Registered before the application initialises: the icon calls back with it.
      trayMessage_(RegisterWindowMessageA(kTrayMessageName)), strings_(instance),
      boxes_(framework::LoadResourceString(instance, IDS_CAPTION)),
      question_(framework::LoadResourceString(instance, IDS_CAPTION)), window_(*this, trayMessage_),
      note_([this] { return TakeNote(); }, [this](const std::string& text) { NoteShown(text); }) {
    // A fault the driver cannot go on from ends the process; its icon must not stay behind.
    reporter_.SetBeforeEnd([this] { window_.RemoveTrayIcon(); });
}

CDriverApp::~CDriverApp() = default;

bool CDriverApp::InitInstance() {
    StartTrace();

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
    parts_ = std::make_unique<Parts>();
    BuildKeysetsAndDispatcher(shared);
    BuildDeviceInput(shared);
    OpenPort(shared);

    // 8. The hidden main window, and 9. the tray icon on it.
    if (!window_.CreateHidden(Instance())) {
        startFailed_ = true;
        return false;
    }
    SetMainWindow(&window_);
    // 10. The on-screen note; the driver works without it. A note the reader left before the window
    // existed woke nobody: it is shown now.
    if (note_.CreateNote(Instance()))
        note_.PostNoteWaiting();
    PortStateChanged(); // the retry timer; the icon goes in with the picture and the tip of the state
    TraceIcon(window_.AddTrayIcon());
    if (lostPending_.load())
        window_.PostPortLost();
    if (foundPending_.load() != 0)
        window_.PostPortFound();
    WatchSettings();
    return true;
}

void CDriverApp::StartTrace() {
    // The optional trace, and the input every part presses through.
    traceFile_ = Win32TraceFile::FromEnvironment(kTraceVariable);
    if (traceFile_ != nullptr) {
        trace_ = std::make_unique<CDriverTrace>(*traceFile_);
        tracedInput_ = std::make_unique<TracingInput>(input_, *trace_);
    }
    player_ = std::make_unique<CStepPlayer>(TracedInput(), playerLoop_, keyboardRepeat_);
    playerLoop_.Start(*player_);
}

void CDriverApp::BuildKeysetsAndDispatcher(CSharedInfo& shared) {
    // 3. The keysets: the stored ones (or "Default"), the current one being the one the shared block
    // names, then saved, which tells the editor (and this driver's next event) to reload.
    Parts& parts = *parts_;
    parts.store = std::make_unique<CKeysetStore>(shared, strings_);
    parts.keysets = std::make_unique<CKeysetRegistry>(Storage());
    SetStore(parts.store.get());
    LoadOrCreate(*parts.store, *parts.keysets);
    const StoreResult saved = SaveAllKeysets(*parts.store, *parts.keysets);
    if (!saved.Done())
        KeysetsFailed("save", saved);
    keysetName_ = parts.store->GetCurrentName();

    // 4. The dispatcher, with its keystroke and mouse objects.
    parts.processes = std::make_unique<Win32ProcessList>(GetOSName().c_str(), boxes_);
    parts.dispatcher = std::make_unique<CControlDispatcher>(*parts.store, *parts.keysets, desktop_, *parts.processes,
                                                            textCase_, *player_, pointer_, question_);
    parts.dispatcher->SetTrackingObserver(this);
    parts.dispatcher->SetProcessRights(&parts.rights);
    // The on-screen note, with its settings as stored (read again whenever the keysets are).
    NoteOutlet& outlet = *this;
    parts.notes = std::make_unique<CNoteFeed>(outlet, keysetName_);
    parts.notes->ReadSettings();
    parts.dispatcher->SetNotes(parts.notes.get());

    // 5. The preferences: the defaults unless the registry has them. The driver reads them, and stores
    // only the port it found the device on; its saves of the keysets leave them alone. Whatever is
    // written to them from now on is heard (WatchSettings); the key is made so that it can be watched.
    RegKey::Create(registry_, RegKey::Create(registry_, Registry::kCurrentUser, kStoreRootPath), kSettingsKeyName);
    settingsWatch_.Arm(kSettingsKeyPath);
    parts.prefs = ReadPreferences(registry_);
}

void CDriverApp::BuildDeviceInput(CSharedInfo& shared) {
    // 6. The decoder, before the port opens: the reader thread hands over bytes from its first read
    // on, and a device that sends at once (or bytes that waited in the line) must find it there.
    Parts& parts = *parts_;
    parts.idleTimer = std::make_unique<Win32WheelIdleTimer>();
    parts.led = std::make_unique<SharedInfoLed>(shared);
    if (trace_ != nullptr)
        parts.tracedEvents = std::make_unique<TracingEvents>(*parts.dispatcher, *trace_);
    parts.deviceInput =
        std::make_unique<CDeviceInput>(*parts.dispatcher, *parts.led, *parts.idleTimer, parts.tracedEvents.get());
}

void CDriverApp::OpenPort(CSharedInfo& shared) {
    // 7. The port, and the start byte; or the box that says it could not be opened.
    Parts& parts = *parts_;
    DeviceByteSink& bytes = *this;
    DriverShell& shell = *this;
    PortFoundSink& found = *this;
    parts.link = std::make_unique<CSerialLink>(bytes, reporter_);
    parts.listener = std::make_unique<CPortListener>(found);
    if (trace_ != nullptr) {
        parts.tracedLink = std::make_unique<TracingLink>(*parts.link, *trace_);
        parts.tracedListener = std::make_unique<TracingListener>(*parts.listener, *trace_);
    }
    parts.commands = std::make_unique<CTrayCommands>(DevicePorts{parts.Link(), parts.Listener(), portList_}, shared,
                                                     *parts.processes, textCase_, desktop_, shell, parts.prefs.port);
    parts.commands->OpenAtStart();
}

void CDriverApp::WatchSettings() {
    settingsWatch_.OnWritten([this] {
        settingsWatch_.Arm(kSettingsKeyPath);
        window_.PostSettingsWritten();
    });
}

int CDriverApp::ExitInstance() {
    settingsWatch_.OnWritten(nullptr);
    window_.RemoveTrayIcon();
    // Exit and Reload Driver have closed the port; a loop that ended otherwise (the session's end) has
    // not, and the reader must not outlive the decoder.
    StopReader();
    SetStore(nullptr);
    parts_.reset();
    ReleaseHeldInput();
    playerLoop_.Stop();
    note_.DestroyNote();
    window_.DestroyHidden();
    if (trace_ != nullptr)
        trace_->Exit();
    const int code = CQVLApp::ExitInstance();
    return startFailed_ ? 1 : code;
}

void CDriverApp::OnDeviceByte(std::uint8_t byte) {
    if (trace_ != nullptr)
        trace_->Byte(byte);
    // Bytes come only while the port is open, and the port is closed before the decoder goes.
    if (parts_ != nullptr)
        parts_->deviceInput->OnDeviceByte(byte);
}

void CDriverApp::OnPortLost() {
    if (trace_ != nullptr)
        trace_->Lost();
    lostPending_ = true;
    window_.PostPortLost();
}

void CDriverApp::OnPortFound(int port) {
    if (trace_ != nullptr)
        trace_->Found(port);
    foundPending_ = port;
    window_.PostPortFound();
}

void CDriverApp::PortFound() {
    const int port = foundPending_.exchange(0);
    if (parts_ != nullptr && port != 0)
        parts_->commands->PortFound(port);
}

void CDriverApp::SettingsWritten() {
    if (parts_ == nullptr)
        return;
    const int port = ReadPreferences(registry_).port;
    if (port == parts_->commands->Port())
        return; // the notes, the autostart flag, or the port the driver stored itself
    if (trace_ != nullptr)
        trace_->PortChosen(port);
    parts_->commands->PortChosen(port);
}

void CDriverApp::PortLost() {
    lostPending_ = false;
    if (parts_ != nullptr)
        parts_->commands->PortLost();
}

void CDriverApp::RetryTick() {
    if (parts_ != nullptr)
        parts_->commands->RetryTick();
}

void CDriverApp::RetryNow() {
    if (parts_ != nullptr)
        parts_->commands->RetryNow();
}

TrayItem CDriverApp::TrayToggle() {
    if (parts_ == nullptr)
        return TrayItem{IDS_ENABLE, ID_ENABLE};
    return parts_->commands->ToggleItem();
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
    // Reload Driver runs the exit processing, which ends the commands object while it runs; it
    // touches nothing of its own after that.
    if (parts_ != nullptr)
        parts_->commands->Run(commandId);
    else if (commandId == ID_EXIT)
        PostQuitMessage(0);
}

void CDriverApp::EndSessionNow() {
    StopReader();
    EndSession();
    // The system ends the process once the window has answered; should it not, the loop ends here.
    PostQuitMessage(0);
}

void CDriverApp::ReleaseHeldInput() {
    if (player_ != nullptr)
        player_->StopAll();
}

std::string CDriverApp::PortText() const {
    return parts_ != nullptr ? PortName(parts_->commands->Port()) : std::string();
}

std::string CDriverApp::ErrorText(long error) const {
    const std::string phrase = error > 0 ? SystemErrorPhrase(static_cast<unsigned long>(error)) : std::string();
    return phrase.empty() ? "error " + std::to_string(error) : phrase;
}

void CDriverApp::Notify(unsigned stringId, int port, long error) {
    const std::string text = framework::FormatResourceString(Instance(), stringId, {PortName(port), ErrorText(error)});
    if (trace_ != nullptr)
        trace_->Notify(text);
    window_.Icon().ShowBalloon(framework::LoadResourceString(Instance(), IDS_CAPTION), text);
}

StoreResult CDriverApp::StorePort(int port) {
    const StoreResult result = qvl::StorePort(registry_, port);
    if (trace_ != nullptr)
        trace_->PortStored(port, result);
    return result;
}

void CDriverApp::PortStateChanged() {
    window_.SetRetryTimer(parts_ != nullptr && parts_->commands->Retrying(), CRetrySchedule::kPeriodMs);
    RefreshTray();
}

void CDriverApp::RefreshTray() {
    if (parts_ == nullptr || window_.Handle() == nullptr)
        return;
    const PortState state = parts_->commands->State();
    std::string tip;
    if (state == PortState::kConnected) {
        std::string keyset;
        {
            std::lock_guard<std::mutex> hold(keysetLock_);
            keyset = keysetName_;
        }
        tip = framework::FormatResourceString(Instance(), IDS_TIP_CONNECTED, {PortText(), keyset});
    } else if (state == PortState::kRetrying) {
        tip = framework::FormatResourceString(Instance(), IDS_TIP_RETRYING, {PortText()});
    } else if (state == PortState::kListening) {
        tip = framework::LoadResourceString(Instance(), IDS_TIP_LISTENING);
    } else {
        tip = framework::LoadResourceString(Instance(), IDS_TIP_DISABLED);
    }
    const bool connected = state == PortState::kConnected;
    if (tip == shownTip_ && connected == shownConnected_)
        return;
    shownTip_ = tip;
    shownConnected_ = connected;
    window_.Icon().Update(connected ? IDI_TRAY : IDI_TRAY_OFF, tip);
    if (trace_ != nullptr)
        trace_->Tray(StateName(state), tip);
}

void CDriverApp::ForegroundTracked(int keysetIndex, const std::string& name, bool editor, bool testDialog,
                                   const std::string& why) {
    if (trace_ != nullptr)
        trace_->ForegroundTracked(keysetIndex, name, editor, testDialog, why);
    if (editor)
        return; // the selection stays as it was
    {
        std::lock_guard<std::mutex> hold(keysetLock_);
        if (name == keysetName_)
            return;
        keysetName_ = name;
    }
    // Only when the keyset in use changed, which is rare on the event path; the window thread
    // updates the tip.
    window_.PostKeysetChanged();
}

void CDriverApp::ProgramUnreachable(const std::string& program) {
    const std::string text = framework::FormatResourceString(Instance(), IDS_UNREACHABLE, {program});
    if (trace_ != nullptr)
        trace_->Unreachable(program);
    // No box: the user may be typing into that program. The tray icon is not tied to a thread.
    window_.Icon().ShowBalloon(framework::LoadResourceString(Instance(), IDS_CAPTION), text);
}

NoteSettings CDriverApp::ReadNoteSettings() {
    return ReadNotes(registry_);
}

std::optional<std::string> CDriverApp::TakeNote() {
    return parts_ != nullptr ? parts_->notes->Take() : std::nullopt;
}

void CDriverApp::NoteShown(const std::string& text) {
    if (trace_ != nullptr)
        trace_->Note(text);
}

void CDriverApp::ForwardDropped(int commandId) {
    if (trace_ != nullptr)
        trace_->ForwardDropped(commandId);
}

void CDriverApp::KeysetsFailed(const char* action, const StoreResult& result) {
    if (trace_ != nullptr)
        trace_->KeysetsFailed(action, result);
}

void CDriverApp::StepsPlayed(int bank, int control, const char* which, const Steps& steps) {
    if (trace_ != nullptr)
        trace_->StepsPlayed(bank, control, which, steps);
}

void CDriverApp::StepsUnreadable(const StepsProblem& problem) {
    if (trace_ != nullptr)
        trace_->StepsUnreadable(problem);
}

void CDriverApp::ShowPortError(int port, long error) {
    const std::string text =
        framework::FormatResourceString(Instance(), IDS_PORT_ERROR, {PortName(port), ErrorText(error)});
    boxes_.Show(text.c_str(), nullptr, MessageIcon::kNone);
}

void CDriverApp::ShowMessage(unsigned stringId) {
    const std::string text = framework::LoadResourceString(Instance(), stringId);
    boxes_.Show(text.c_str(), nullptr, MessageIcon::kNone);
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
    if (parts_ == nullptr || !parts_->link->IsOpen())
        return;
    question_.CancelAll();
    parts_->Link().Close();
}

} // namespace qvl
