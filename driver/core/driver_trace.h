// The driver's optional trace: one line per thing that happened, each with the moment it happened on
// the performance counter, written to a file as it goes. It is off unless asked for; then it records
// every device byte as it arrives, each control event as the decoder made it, the keyset target
// tracking selected, every synthesized key and mouse event, the port opening and closing, and the
// tray's menu and commands. The latency benchmark, the end-to-end scenarios and scripts/run's
// transcript read it.
//
// Lines are the end-to-end tools' log lines: a kind, then name=value fields, texts quoted with C
// escapes. `t` is always the first field:
//
//   start t=.. frequency=10000000 platform="WINNT"            the driver began its start-up
//   port t=.. open=1 name="COM1" error=0                      the port was opened (0: it could not be, with
//                                                             the system's error code)
//   listen t=.. ports="COM5 COM9"                             listening for the device on these ports
//   found t=.. name="COM9"                                    a whole press arrived there first
//   stored t=.. name="COM9" error=0                           the port found was stored (or the code of why not)
//   chosen t=.. name="COM12"                                  another port was stored while the driver runs
//   startbyte t=.. ok=1                                       the start byte went out
//   byte t=.. value=0x80                                      a byte arrived from the device
//   event t=.. kind=button control=0 bank=0 magnitude=1 editor=1013 fire=1
//   release t=.. control=0 bank=0                             a transport key came up
//   keyset t=.. index=1 name="waveedit" editor=0 test=0       target tracking ran in full
//   key t=.. vk=0x0d up=0                                     a synthesized key event (a keystroke's)
//   key t=.. vk=0x53 up=0 step=1                              a step's key event, with its scan code
//   text t=.. text="take 1"                                   characters typed by a step
//   steps t=.. bank=0 control=0 on="press" steps="Ctrl+S, Tab" steps handed to the player, in their text
//                                                             form: a press's in its keystroke's place, or
//                                                             the release steps ("release")
//   badsteps t=.. keyset="waveedit" bank=0 control=0 on="press" text="Ctrl+Foo" error="Step 1, ..."
//                                                             a stored text that is not steps (once each)
//   mouse t=.. flags=0x0002 dx=0 dy=0                         a synthesized mouse event
//   icon t=.. added=1                                         the tray icon was added (0: refused), at
//                                                             start-up and again when the shell restarts
//   menu t=.. toggle="Disable QVL2" command=32774             the tray menu is shown
//   command t=.. id=32772                                     the tray command chosen (0: dismissed)
//   close t=.. was_open=1                                     the port was closed
//   lost t=..                                                 the port went away under the link
//   notify t=.. text="The QVL2 on COM1 is connected."         told at the tray icon, without a box
//   tray t=.. state="retrying" tip="QVL 2 - COM1 not ..."     the tray's icon and tip changed
//   note t=.. text="waveedit"                                 the on-screen note showed this text
//   forward t=.. command=1013                                 the editor did not take an event in time
//   keysets t=.. action="reload" error=2 locked=1             a reload (or "save") of the keysets failed, with
//                                                             the system's error code; locked=0: no lock
//   exit t=..                                                 the exit processing ran
#pragma once

#include "base/trace_line.h"
#include "driver/core/control_dispatcher.h"
#include "driver/device/device_decoder.h"
#include "driver/device/device_link.h"
#include "driver/device/port_listener.h"
#include "driver/output/input_synth.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace qvl {

// The trace as the driver's parts report to it. Safe to call from any thread: bytes and output come
// on the port's reader thread, the wheel's idle end on the timer's, the tray on the window thread.
class CDriverTrace final : public TrackingObserver {
public:
    explicit CDriverTrace(TraceWriter& writer) : writer_(writer) {}

    void Start(const std::string& platform);
    void PortOpened(int port, bool open, std::uint32_t error);
    void Listening(const std::vector<int>& ports);
    void Found(int port);
    void PortStored(int port, const StoreResult& result);
    void PortChosen(int port);
    void StartByte(bool ok);
    void Byte(std::uint8_t value);
    void Event(const CDeviceDecoder& decoder);
    void Release(const CDeviceDecoder& decoder);
    void ForegroundTracked(int keysetIndex, const std::string& name, bool editor, bool testDialog,
                           const std::string& why) override;
    void ProgramUnreachable(const std::string& program) override { Unreachable(program); }
    void Unreachable(const std::string& program);
    void ForwardDropped(int commandId) override;
    void KeysetsFailed(const char* action, const StoreResult& result) override;
    void StepsPlayed(int bank, int control, const char* which, const Steps& steps) override;
    void StepsUnreadable(const StepsProblem& problem) override;
    void Lost();
    void Notify(const std::string& text);
    void Note(const std::string& text);
    void Tray(const char* state, const std::string& tip);
    void Key(std::uint8_t vk, bool up, bool step = false);
    void Text(std::u16string_view text);
    void Mouse(std::uint32_t flags, std::int32_t dx, std::int32_t dy);
    void Icon(bool added);
    void Menu(const std::string& toggleText, unsigned toggleCommand);
    void Command(unsigned commandId);
    void PortClosed(bool wasOpen);
    void Exit();

private:
    TraceLine Line(const char* kind) { return TraceLine(kind, writer_.Now()); }
    void Write(const TraceLine& line);

    TraceWriter& writer_;
    std::mutex lock_; // one line at a time, whole
};

// Synthesized input, traced after it went out.
class TracingInput final : public InputSynth {
public:
    TracingInput(InputSynth& input, CDriverTrace& trace) : input_(input), trace_(trace) {}
    void Key(std::uint8_t vk, bool up) override;
    void StepKey(std::uint8_t vk, bool up) override;
    void Text(std::u16string_view text) override;
    void Mouse(std::uint32_t flags, std::int32_t dx, std::int32_t dy) override;

private:
    InputSynth& input_;
    CDriverTrace& trace_;
};

// Control events, traced before the dispatcher acts on them.
class TracingEvents final : public ControlEventSink {
public:
    TracingEvents(ControlEventSink& events, CDriverTrace& trace) : events_(events), trace_(trace) {}
    void HandleControlEvent(CDeviceDecoder& decoder) override;
    void ReleaseControl(CDeviceDecoder& decoder) override;

private:
    ControlEventSink& events_;
    CDriverTrace& trace_;
};

// The port: its opening, the start byte and its closing, traced after each happened.
class TracingLink final : public DeviceLink {
public:
    TracingLink(DeviceLink& link, CDriverTrace& trace) : link_(link), trace_(trace) {}
    bool Open(int port) override;
    bool Close() override;
    bool WriterGeneric(const std::uint8_t* buffer, std::size_t count) override;
    bool IsOpen() const override { return link_.IsOpen(); }
    std::uint32_t OpenError() const override { return link_.OpenError(); }

private:
    DeviceLink& link_;
    CDriverTrace& trace_;
};

// The listening for the device: the ports it listens on, traced once they are open.
class TracingListener final : public PortListener {
public:
    TracingListener(PortListener& listener, CDriverTrace& trace) : listener_(listener), trace_(trace) {}
    std::vector<int> Listen(const std::vector<int>& ports) override;
    void Stop() override { listener_.Stop(); }
    bool Listening() const override { return listener_.Listening(); }

private:
    PortListener& listener_;
    CDriverTrace& trace_;
};

} // namespace qvl
