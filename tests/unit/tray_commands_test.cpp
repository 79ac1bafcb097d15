// The port at start-up and the tray's commands, over a fake link and a fake program shell that write
// one journal: what reached the device and the user, and in which order.
#include "ascii_text_case.h"
#include "output_fakes.h"

#include "driver/core/tray_commands.h"
#include "model/serial_ports.h"
#include "driver/res/resource.h"
#include "model/memory_blocks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

namespace qvl {
namespace {

using fakes::Events;

class FakeLink final : public DeviceLink {
public:
    explicit FakeLink(Events& journal) : journal_(journal) {}
    bool Open(int port) override {
        journal_.push_back("open " + std::to_string(port));
        open_ = opens;
        return open_;
    }
    bool Close() override {
        journal_.push_back("close");
        return std::exchange(open_, false);
    }
    bool WriterGeneric(const std::uint8_t* buffer, std::size_t count) override {
        std::string text = "write";
        for (std::size_t i = 0; i < count; ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02x", buffer[i]);
            text += hex;
        }
        journal_.push_back(text);
        if (onWrite)
            onWrite();
        return open_ && takes;
    }
    bool IsOpen() const override { return open_; }
    std::uint32_t OpenError() const override { return open_ ? 0 : 2; }

    bool opens = true;             // whether the next Open succeeds
    bool takes = true;             // whether the port takes what is written (false: a stalled adapter)
    std::function<void()> onWrite; // while the write waits

private:
    Events& journal_;
    bool open_ = false;
};

// Listens on the ports asked for, as "listen 5 9"; "stop listening" when it stops.
class FakeListener final : public PortListener {
public:
    explicit FakeListener(Events& journal) : journal_(journal) {}
    std::vector<int> Listen(const std::vector<int>& ports) override {
        journal_.push_back("listen");
        for (const int port : ports)
            journal_.back() += " " + std::to_string(port);
        listening_ = true;
        return ports;
    }
    void Stop() override {
        if (std::exchange(listening_, false))
            journal_.push_back("stop listening");
    }
    bool Listening() const override { return listening_; }

private:
    Events& journal_;
    bool listening_ = false;
};

class FakePortList final : public SerialPortSource {
public:
    std::vector<std::string> MappedPorts() override { return mapped; }
    std::vector<NamedPort> ClassPorts() override { return {}; }
    std::vector<std::string> mapped;
};

class FakeShell final : public DriverShell {
public:
    FakeShell(Events& journal, const CSharedInfo& shared) : journal_(journal), shared_(shared) {}
    // The box notes portOpen as the user's editor would see it while the box is up.
    void ShowPortError(int port, long error) override {
        journal_.push_back("port box COM" + std::to_string(port) + " error " + std::to_string(error) + " (portOpen " +
                           std::to_string(shared_.GetPortOpen()) + ")");
    }
    void RestoreWindow(WindowId window) override { journal_.push_back("restore " + fakes::WindowName(window)); }
    bool StartProgram(const char* program) override {
        journal_.push_back(std::string("start ") + program);
        return true;
    }
    void CancelQuestion() override { journal_.push_back("cancel question"); }
    void ResumeQuestions() override { journal_.push_back("resume questions"); }
    void ExitProcessing() override { journal_.push_back("exit processing"); }
    void Quit(int exitCode) override { journal_.push_back("quit " + std::to_string(exitCode)); }
    void ReleaseHeldInput() override { journal_.push_back("release held"); }
    void Notify(unsigned stringId, int port, long error) override {
        journal_.push_back(Notified(stringId, port, error));
    }
    StoreResult StorePort(int port) override {
        journal_.push_back("store COM" + std::to_string(port));
        return stored;
    }
    void PortStateChanged() override {}
    std::uint64_t NowMs() override { return now; }

    static std::string Notified(unsigned stringId, int port, long error = 0) {
        return "notify " + std::to_string(stringId) + " COM" + std::to_string(port) +
               (error != 0 ? " error " + std::to_string(error) : "");
    }

    std::uint64_t now = 1000; // the fake clock
    StoreResult stored;       // what storing a port found gives

private:
    Events& journal_;
    const CSharedInfo& shared_;
};

struct TrayRig {
    explicit TrayRig(int port = 1)
        : commands(DevicePorts{link, listener, ports}, shared, processes, textCase, desktop, shell, port) {
        shared.Create();
    }

    Events Take() { return std::exchange(journal, Events()); }

    Events journal;
    MemoryBlocks blocks;
    CSharedInfo shared{blocks};
    FakeLink link{journal};
    FakeListener listener{journal};
    FakePortList ports;
    fakes::FakeProcesses processes;
    AsciiTextCase textCase;
    fakes::FakeDesktop desktop;
    FakeShell shell{journal, shared};
    CTrayCommands commands;
};

TEST(TrayCommands, StartUpOpensThePreferencesPortAndSendsTheStartByte) {
    for (const int port : {1, 4, 12, 256}) {
        TrayRig rig(port);
        EXPECT_TRUE(rig.commands.OpenAtStart());
        EXPECT_EQ(rig.Take(), (Events{"open " + std::to_string(port), "write b3"})) << port;
        EXPECT_EQ(rig.shared.GetPortOpen(), 1);
    }
}

// The box names the port and why; then the driver listens on every listed port but the stored one,
// which it retries every two seconds, and the menu offers Disable.
TEST(TrayCommands, APortThatCannotBeOpenedAtStartUpIsReportedOnceThenLookedForAndRetried) {
    TrayRig rig(3);
    rig.ports.mapped = {"COM1", "COM3", "COM9"};
    rig.link.opens = false;
    EXPECT_FALSE(rig.commands.OpenAtStart());
    EXPECT_EQ(rig.Take(), (Events{"open 3", "port box COM3 error 2 (portOpen 0)", "listen 1 9"}));
    EXPECT_EQ(rig.shared.GetPortOpen(), 0);
    EXPECT_EQ(rig.commands.State(), PortState::kListening);
    EXPECT_TRUE(rig.commands.Retrying());
    EXPECT_EQ(rig.commands.ToggleItem().commandId, static_cast<unsigned>(ID_DISABLE));
    rig.link.opens = true;
    rig.shell.now = 3000;
    rig.commands.RetryTick();
    EXPECT_EQ(rig.Take(), (Events{"open 3", "write b3", "stop listening", FakeShell::Notified(IDS_PORT_BACK, 3)}));
}

// The item at position 2 follows the port itself. The editor's start sets portOpen to 1 whatever the
// driver's port is doing; the menu still offers Enable then, and the flag is put right.
TEST(TrayCommands, TheToggleItemFollowsThePortAndPutsTheSharedFlagRight) {
    struct Case {
        bool open;
        int portOpen;
        unsigned stringId;
        unsigned commandId;
        int portOpenAfter;
    };
    const Case cases[] = {
        {true, 1, IDS_DISABLE, ID_DISABLE, 1},
        {false, 0, IDS_ENABLE, ID_ENABLE, 0},
        {false, 1, IDS_ENABLE, ID_ENABLE, 0}, // disabled, then the editor started
        {true, 0, IDS_DISABLE, ID_DISABLE, 1},
    };
    for (const Case& c : cases) {
        TrayRig rig;
        if (c.open)
            rig.link.Open(1);
        rig.shared.SetPortOpen(c.portOpen);
        const TrayItem item = rig.commands.ToggleItem();
        EXPECT_EQ(item.stringId, c.stringId) << c.open << c.portOpen;
        EXPECT_EQ(item.commandId, c.commandId) << c.open << c.portOpen;
        EXPECT_EQ(rig.shared.GetPortOpen(), c.portOpenAfter) << c.open << c.portOpen;
    }
}

TEST(TrayCommands, ExitCancelsTheQuestionAndClosesThePortBeforeTheLoopEnds) {
    TrayRig rig;
    rig.commands.OpenAtStart();
    rig.Take();
    EXPECT_EQ(rig.commands.Run(ID_EXIT), TrayOutcome::kQuit);
    EXPECT_EQ(rig.Take(), (Events{"cancel question", "close", "release held", "quit 0"}));
}

TEST(TrayCommands, DisableThenEnableClosesAndReopensThePortWithANewStartByte) {
    TrayRig rig(2);
    rig.commands.OpenAtStart();
    rig.Take();

    EXPECT_EQ(rig.commands.Run(ID_DISABLE), TrayOutcome::kStay);
    EXPECT_EQ(rig.Take(), (Events{"cancel question", "close", "release held"}));
    EXPECT_EQ(rig.shared.GetPortOpen(), 0);
    EXPECT_EQ(rig.commands.ToggleItem().commandId, static_cast<unsigned>(ID_ENABLE));

    EXPECT_EQ(rig.commands.Run(ID_ENABLE), TrayOutcome::kStay);
    EXPECT_EQ(rig.Take(), (Events{"resume questions", "open 2", "write b3"}));
    EXPECT_EQ(rig.shared.GetPortOpen(), 1);
    EXPECT_EQ(rig.commands.ToggleItem().commandId, static_cast<unsigned>(ID_DISABLE));
}

TEST(TrayCommands, EnableThatCannotOpenThePortSaysSoAndLooksForTheDevice) {
    TrayRig rig;
    rig.commands.OpenAtStart();
    rig.commands.Run(ID_DISABLE);
    rig.link.opens = false;
    rig.Take();
    rig.commands.Run(ID_ENABLE);
    EXPECT_EQ(rig.Take(), (Events{"resume questions", "open 1", "port box COM1 error 2 (portOpen 0)", "listen"}));
    EXPECT_EQ(rig.shared.GetPortOpen(), 0);
    EXPECT_EQ(rig.commands.State(), PortState::kListening);
}

TEST(TrayCommands, TheStartByteGoesOutOnlyWhileTheDriverIsEnabled) {
    TrayRig rig;
    rig.link.Open(1);
    rig.Take();
    rig.shared.SetPortOpen(0);
    rig.commands.SendStartByte();
    EXPECT_TRUE(rig.Take().empty());
    rig.shared.SetPortOpen(1);
    rig.commands.SendStartByte();
    EXPECT_EQ(rig.Take(), (Events{"write b3"}));
}

// The editor is the window titled "Quorvel 2" of a running process named qvl2 (in any case).
TEST(TrayCommands, OpenEditorBringsARunningEditorForwardAndOtherwiseStartsIt) {
    {
        TrayRig rig;
        rig.processes.processes = {{"explorer", 4}, {"QVL2", 50}};
        rig.desktop.Add({"Other", "Frame", kNoWindow, 1, 4});
        const WindowId editor = rig.desktop.Add({"Quorvel 2", "QVL2MainFrame", kNoWindow, 2, 50});
        rig.commands.Run(ID_OPEN_EDITOR);
        EXPECT_EQ(rig.Take(), (Events{"restore " + fakes::WindowName(editor)}));
    }
    {
        TrayRig rig; // nothing runs
        rig.processes.processes = {{"explorer", 4}};
        rig.commands.Run(ID_OPEN_EDITOR);
        EXPECT_EQ(rig.Take(), (Events{"start QVL2.exe"}));
    }
    {
        TrayRig rig; // a window of that title, but no editor process: not the editor
        rig.processes.processes = {{"explorer", 4}};
        rig.desktop.Add({"Quorvel 2", "Other", kNoWindow, 1, 4});
        rig.commands.Run(ID_OPEN_EDITOR);
        EXPECT_EQ(rig.Take(), (Events{"start QVL2.exe"}));
    }
    {
        TrayRig rig; // the editor's process is there but its window is not (yet)
        rig.processes.processes = {{"qvl2", 50}};
        rig.commands.Run(ID_OPEN_EDITOR);
        EXPECT_EQ(rig.Take(), (Events{"start QVL2.exe"}));
    }
}

// A new driver is started only once this one has let go of the port and of everything it showed,
// and this one then ends.
TEST(TrayCommands, ReloadClosesThePortRunsTheExitProcessingStartsANewDriverAndEnds) {
    TrayRig rig;
    rig.commands.OpenAtStart();
    rig.Take();
    EXPECT_EQ(rig.commands.Run(ID_RELOAD_DRIVER), TrayOutcome::kQuit);
    EXPECT_EQ(rig.Take(),
              (Events{"cancel question", "close", "release held", "exit processing", "start qvl2rs.exe", "quit 0"}));
}

// The port goes away: closed, everything held let go of, the user told once; then a try every two
// seconds on the fake clock (none between), at once on resume, until the port answers.
TEST(TrayCommands, ALostPortIsClosedReleasedAndRetriedEveryTwoSecondsUntilItAnswers) {
    TrayRig rig;
    rig.commands.OpenAtStart();
    rig.Take();
    rig.link.opens = false;
    rig.commands.PortLost();
    EXPECT_EQ(rig.Take(), (Events{"cancel question", "close", "release held", "resume questions",
                                  FakeShell::Notified(IDS_PORT_LOST, 1)}));
    EXPECT_EQ(rig.shared.GetPortOpen(), 0);
    EXPECT_EQ(rig.commands.State(), PortState::kRetrying);
    EXPECT_EQ(rig.commands.ToggleItem().commandId, static_cast<unsigned>(ID_DISABLE)) << "Disable stops retrying";

    const std::pair<std::uint64_t, bool> ticks[] = {
        {1500, false}, {2950, true}, {3100, false}, {4000, false}, {4980, true}, {6000, false},
    };
    for (const auto& [now, tries] : ticks) {
        rig.shell.now = now;
        rig.commands.RetryTick();
        EXPECT_EQ(rig.Take(), tries ? Events{"open 1"} : Events{}) << now;
    }
    rig.commands.RetryNow(); // resume from sleep
    EXPECT_EQ(rig.Take(), (Events{"open 1"}));
    rig.commands.PortLost(); // a second notice of the same loss
    EXPECT_TRUE(rig.Take().empty());

    rig.link.opens = true;
    rig.shell.now = 8100;
    rig.commands.RetryTick();
    EXPECT_EQ(rig.Take(), (Events{"open 1", "write b3", FakeShell::Notified(IDS_PORT_BACK, 1)}));
    EXPECT_EQ(rig.shared.GetPortOpen(), 1);
    rig.shell.now = 20000;
    rig.commands.RetryTick();
    rig.commands.RetryNow();
    EXPECT_TRUE(rig.Take().empty()) << "connected: no more tries";
}

// A port that opens but takes no start byte (a stalled adapter) is still away: closed again without a
// word, and the retrying goes on until the port takes the byte.
TEST(TrayCommands, ARetryWhosePortTakesNoStartByteGoesOnRetryingQuietly) {
    TrayRig rig;
    rig.commands.OpenAtStart();
    rig.commands.PortLost();
    rig.Take();
    rig.link.takes = false;
    rig.link.onWrite = [&rig] { rig.shell.now += 2000; }; // the write waits its whole time, in vain
    rig.shell.now = 3000;
    rig.commands.RetryTick();
    EXPECT_EQ(rig.Take(),
              (Events{"open 1", "write b3", "cancel question", "close", "release held", "resume questions"}));
    EXPECT_EQ(rig.commands.State(), PortState::kRetrying);
    EXPECT_EQ(rig.shared.GetPortOpen(), 0);
    rig.commands.PortLost(); // the link's notice of that loss, taken over later
    rig.shell.now = 6000;    // a period after the try began, but not after its wait ended
    rig.commands.RetryTick();
    EXPECT_TRUE(rig.Take().empty());

    rig.link.takes = true;
    rig.link.onWrite = nullptr;
    rig.shell.now = 7000;
    rig.commands.RetryTick();
    EXPECT_EQ(rig.Take(), (Events{"open 1", "write b3", FakeShell::Notified(IDS_PORT_BACK, 1)}));
    EXPECT_EQ(rig.commands.State(), PortState::kConnected);
}

// Disable stops the retrying; Enable tries at once and, while the port is still away, goes back to
// retrying (and looks for the device) without the box about a port that cannot be opened.
TEST(TrayCommands, DisableStopsRetryingAndEnableResumesIt) {
    TrayRig rig;
    rig.commands.OpenAtStart();
    rig.link.opens = false;
    rig.commands.PortLost();
    rig.commands.Run(ID_DISABLE);
    rig.Take();
    EXPECT_EQ(rig.commands.State(), PortState::kDisabled);
    rig.shell.now = 10000;
    rig.commands.RetryTick();
    rig.commands.RetryNow();
    EXPECT_TRUE(rig.Take().empty());

    rig.commands.Run(ID_ENABLE);
    EXPECT_EQ(rig.Take(), (Events{"resume questions", "open 1", "listen"}));
    EXPECT_EQ(rig.commands.State(), PortState::kListening);
    rig.link.opens = true;
    rig.shell.now = 12000;
    rig.commands.RetryTick();
    EXPECT_EQ(rig.Take(), (Events{"open 1", "write b3", "stop listening", FakeShell::Notified(IDS_PORT_BACK, 1)}));
}

// Find Device closes the port in use and listens on every listed port, that one too; the port a press
// is heard on first is stored, opened and given the start byte, and the user told once.
TEST(TrayCommands, FindDeviceListensEverywhereAndTakesThePortThePressCameOn) {
    TrayRig rig;
    rig.ports.mapped = {"COM9", "COM1", "COM5"};
    rig.commands.OpenAtStart();
    rig.Take();
    rig.commands.Run(ID_FIND_DEVICE);
    EXPECT_EQ(rig.Take(), (Events{"cancel question", "close", "release held", "resume questions", "listen 1 5 9"}));
    EXPECT_EQ(rig.commands.State(), PortState::kListening);
    EXPECT_FALSE(rig.commands.Retrying());
    EXPECT_EQ(rig.commands.ToggleItem().commandId, static_cast<unsigned>(ID_DISABLE));

    rig.commands.PortFound(9);
    EXPECT_EQ(rig.Take(),
              (Events{"stop listening", "store COM9", "open 9", "write b3", FakeShell::Notified(IDS_PORT_FOUND, 9)}));
    EXPECT_EQ(rig.commands.Port(), 9);
    EXPECT_EQ(rig.commands.State(), PortState::kConnected);
    rig.commands.PortChosen(9); // the driver's own store, heard back: nothing moves
    EXPECT_TRUE(rig.Take().empty());

    rig.commands.Run(ID_FIND_DEVICE);
    rig.commands.Run(ID_DISABLE);
    EXPECT_FALSE(rig.listener.Listening());
    rig.Take();
    rig.commands.PortFound(5);
    EXPECT_TRUE(rig.Take().empty()) << "found after Disable: stale";
}

// Another port stored while the driver runs: it moves there at once, letting go of what the device
// held; one that cannot be opened is said so and looked for.
TEST(TrayCommands, AStoredPortIsTakenOverWithoutAReload) {
    TrayRig rig;
    rig.commands.OpenAtStart();
    rig.Take();
    rig.commands.PortChosen(12);
    EXPECT_EQ(rig.Take(), (Events{"cancel question", "close", "release held", "resume questions", "open 12", "write b3",
                                  FakeShell::Notified(IDS_PORT_BACK, 12)}));
    rig.link.opens = false;
    rig.commands.PortChosen(7);
    EXPECT_EQ(rig.Take(), (Events{"cancel question", "close", "release held", "resume questions", "open 7",
                                  FakeShell::Notified(IDS_PORT_NOT_OPENED, 7, 2), "listen"}));
    EXPECT_TRUE(rig.commands.Retrying());
}

TEST(TrayCommands, ADismissedMenuDoesNothing) {
    TrayRig rig;
    rig.commands.OpenAtStart();
    rig.Take();
    EXPECT_EQ(rig.commands.Run(0), TrayOutcome::kStay);
    EXPECT_TRUE(rig.Take().empty());
    EXPECT_EQ(rig.shared.GetPortOpen(), 1);
}

} // namespace
} // namespace qvl
