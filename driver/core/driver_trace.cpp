#include "driver/core/driver_trace.h"

#include "model/port_name.h"
#include "model/utf_text.h"

namespace qvl {

namespace {

const char* EventKind(int messageKind) {
    switch (messageKind) {
        case CDeviceDecoder::kButtonMessage:
            return "button";
        case CDeviceDecoder::kWheelMessage:
            return "wheel";
        default:
            return "none";
    }
}

} // namespace

void CDriverTrace::Write(const TraceLine& line) {
    std::lock_guard<std::mutex> hold(lock_);
    writer_.Write(line.Str());
}

void CDriverTrace::Start(const std::string& platform) {
    Write(Line("start").Number("frequency", writer_.Frequency()).Text("platform", platform));
}

void CDriverTrace::PortOpened(int port, bool open, std::uint32_t error) {
    Write(Line("port").Number("open", open ? 1 : 0).Text("name", PortName(port)).Number("error", error));
}

void CDriverTrace::Listening(const std::vector<int>& ports) {
    std::string names;
    for (const int port : ports)
        names += (names.empty() ? "" : " ") + PortName(port);
    Write(Line("listen").Text("ports", names));
}

void CDriverTrace::Found(int port) {
    Write(Line("found").Text("name", PortName(port)));
}

void CDriverTrace::PortStored(int port, const StoreResult& result) {
    Write(Line("stored").Text("name", PortName(port)).Number("error", result.Done() ? 0 : result.error));
}

void CDriverTrace::PortChosen(int port) {
    Write(Line("chosen").Text("name", PortName(port)));
}

void CDriverTrace::StartByte(bool ok) {
    Write(Line("startbyte").Number("ok", ok ? 1 : 0));
}

void CDriverTrace::Byte(std::uint8_t value) {
    Write(Line("byte").Hex("value", value, 2));
}

void CDriverTrace::Event(const CDeviceDecoder& decoder) {
    Write(Line("event")
              .Text("kind", EventKind(decoder.MessageKind()))
              .Number("control", decoder.ControlIndex())
              .Number("bank", decoder.BankIndex())
              .Number("magnitude", decoder.Magnitude())
              .Number("editor", decoder.EditorControlId())
              .Number("fire", decoder.FireAssignment() ? 1 : 0));
}

void CDriverTrace::Release(const CDeviceDecoder& decoder) {
    Write(Line("release").Number("control", decoder.ControlIndex()).Number("bank", decoder.BankIndex()));
}

void CDriverTrace::ForegroundTracked(int keysetIndex, const std::string& name, bool editor, bool testDialog,
                                     const std::string& why) {
    TraceLine line = Line("keyset")
                         .Number("index", keysetIndex)
                         .Text("name", name)
                         .Number("editor", editor ? 1 : 0)
                         .Number("test", testDialog ? 1 : 0);
    if (!why.empty())
        line.Text("why", why);
    Write(line);
}

void CDriverTrace::Unreachable(const std::string& program) {
    Write(Line("unreachable").Text("program", program));
}

void CDriverTrace::ForwardDropped(int commandId) {
    Write(Line("forward").Number("command", commandId));
}

void CDriverTrace::KeysetsFailed(const char* action, const StoreResult& result) {
    Write(Line("keysets")
              .Text("action", action)
              .Number("error", result.error)
              .Number("locked", result.status == StoreResult::Status::kNotLocked ? 0 : 1));
}

void CDriverTrace::StepsPlayed(int bank, int control, const char* which, const Steps& steps) {
    Write(Line("steps")
              .Number("bank", bank)
              .Number("control", control)
              .Text("on", which)
              .Text("steps", PrintSteps(steps)));
}

void CDriverTrace::StepsUnreadable(const StepsProblem& problem) {
    Write(Line("badsteps")
              .Text("keyset", problem.keyset)
              .Number("bank", problem.bank)
              .Number("control", problem.control)
              .Text("on", problem.which)
              .Text("text", problem.text)
              .Text("error", problem.message));
}

void CDriverTrace::Lost() {
    Write(Line("lost"));
}

void CDriverTrace::Notify(const std::string& text) {
    Write(Line("notify").Text("text", text));
}

void CDriverTrace::Note(const std::string& text) {
    Write(Line("note").Text("text", text));
}

void CDriverTrace::Tray(const char* state, const std::string& tip) {
    Write(Line("tray").Text("state", state).Text("tip", tip));
}

void CDriverTrace::Key(std::uint8_t vk, bool up, bool step) {
    TraceLine line = Line("key").Hex("vk", vk, 2).Number("up", up ? 1 : 0);
    if (step)
        line.Number("step", 1);
    Write(line);
}

void CDriverTrace::Text(std::u16string_view text) {
    Write(Line("text").Text("text", Utf8FromUtf16(text)));
}

void CDriverTrace::Mouse(std::uint32_t flags, std::int32_t dx, std::int32_t dy) {
    Write(Line("mouse").Hex("flags", flags, 4).Number("dx", dx).Number("dy", dy));
}

void CDriverTrace::Icon(bool added) {
    Write(Line("icon").Number("added", added ? 1 : 0));
}

void CDriverTrace::Menu(const std::string& toggleText, unsigned toggleCommand) {
    Write(Line("menu").Text("toggle", toggleText).Number("command", toggleCommand));
}

void CDriverTrace::Command(unsigned commandId) {
    Write(Line("command").Number("id", commandId));
}

void CDriverTrace::PortClosed(bool wasOpen) {
    Write(Line("close").Number("was_open", wasOpen ? 1 : 0));
}

void CDriverTrace::Exit() {
    Write(Line("exit"));
}

void TracingInput::Key(std::uint8_t vk, bool up) {
    input_.Key(vk, up);
    trace_.Key(vk, up);
}

void TracingInput::StepKey(std::uint8_t vk, bool up) {
    input_.StepKey(vk, up);
    trace_.Key(vk, up, true);
}

void TracingInput::Text(std::u16string_view text) {
    input_.Text(text);
    trace_.Text(text);
}

void TracingInput::Mouse(std::uint32_t flags, std::int32_t dx, std::int32_t dy) {
    input_.Mouse(flags, dx, dy);
    trace_.Mouse(flags, dx, dy);
}

bool TracingLink::Open(int port) {
    const bool open = link_.Open(port);
    trace_.PortOpened(port, open, link_.OpenError());
    return open;
}

std::vector<int> TracingListener::Listen(const std::vector<int>& ports) {
    std::vector<int> opened = listener_.Listen(ports);
    trace_.Listening(opened);
    return opened;
}

bool TracingLink::Close() {
    const bool wasOpen = link_.Close();
    trace_.PortClosed(wasOpen);
    return wasOpen;
}

bool TracingLink::WriterGeneric(const std::uint8_t* buffer, std::size_t count) {
    const bool ok = link_.WriterGeneric(buffer, count);
    if (count == 1 && buffer[0] == kStartByte)
        trace_.StartByte(ok);
    return ok;
}

void TracingEvents::HandleControlEvent(CDeviceDecoder& decoder) {
    trace_.Event(decoder);
    events_.HandleControlEvent(decoder);
}

void TracingEvents::ReleaseControl(CDeviceDecoder& decoder) {
    trace_.Release(decoder);
    events_.ReleaseControl(decoder);
}

} // namespace qvl
