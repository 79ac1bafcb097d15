// The driver's trace: the lines it writes, in the order things happened on the event path, and texts
// that come back exactly as the harness reads them.
#include "driver_rig.h"

#include "driver/core/driver_trace.h"

#include <gtest/gtest.h>

namespace qvl {
namespace {

using fakes::DriverRig;
using fakes::Events;
using fakes::KeyAssignment;

// A clock that moves on by 10 ticks at every reading.
class FakeTraceWriter final : public TraceWriter {
public:
    std::int64_t Now() override { return now += 10; }
    std::int64_t Frequency() override { return 10000000; }
    void Write(const std::string& line) override { lines.push_back(line); }
    Events Take() { return std::exchange(lines, Events()); }

    std::int64_t now = 1000;
    Events lines;
};

// The event path of DriverRig, with the driver's trace between the decoder and the dispatcher and
// between the output objects and the input stream.
struct TracedPath {
    explicit TracedPath(DriverRig& rig)
        : player(input, rig.loop, rig.repeat), dispatcher(rig.store, rig.keysets, rig.desktop, rig.processes,
                                                          rig.textCase, player, rig.pointer, rig.question),
          events(dispatcher, trace), decoder(events, rig.led, rig.timer) {
        dispatcher.SetTrackingObserver(&trace);
    }
    void Feed(std::initializer_list<int> bytes) {
        for (int b : bytes) {
            trace.Byte(static_cast<std::uint8_t>(b));
            decoder.ProcessByte(static_cast<std::uint8_t>(b));
        }
    }

    FakeTraceWriter writer;
    CDriverTrace trace{writer};
    fakes::RecordingInput recorded;
    TracingInput input{recorded, trace};
    CStepPlayer player;
    CControlDispatcher dispatcher;
    TracingEvents events;
    CDeviceDecoder decoder;
};

TEST(DriverTrace, TextsAreQuotedSoThatEveryByteComesBackAndNoLineBreaks) {
    const TraceLine line = TraceLine("keyset", 5)
                               .Text("name", "a \"b\" c\\d\r\n\t\x01\xE9")
                               .Number("index", -2)
                               .Hex("vk", 0x0d, 2)
                               .Hex("flags", 0x8001, 4);
    EXPECT_EQ(line.Str(), "keyset t=5 name=\"a \\\"b\\\" c\\\\d\\r\\n\\t\\x01\\xe9\" index=-2 vk=0x0d flags=0x8001");
}

// Play for a program with a keyset of its own: the bytes, the event, the keyset tracking chose and the
// keys in the order the driver made them; the release, and its keys.
TEST(DriverTrace, ABytesEventKeysetAndKeysAreTracedInTheOrderTheyHappened) {
    DriverRig rig;
    const int waveedit = rig.AddKeyset("waveedit");
    rig.Assign(waveedit, kMainBank, kPlay, KeyAssignment('A', 0x03)); // Ctrl+Shift+A
    rig.Run("WaveEdit", 7);
    TracedPath path(rig);

    path.Feed({0x80, 0x45});
    EXPECT_EQ(path.writer.Take(), (Events{
                                      "byte t=1010 value=0x80",
                                      "byte t=1020 value=0x45",
                                      "event t=1030 kind=\"button\" control=0 bank=0 magnitude=1 editor=1013 fire=1",
                                      "keyset t=1040 index=1 name=\"waveedit\" editor=0 test=0 "
                                      "why=\"program \\\"WaveEdit\\\"\"",
                                      "key t=1050 vk=0x11 up=0",
                                      "key t=1060 vk=0x10 up=0",
                                      "key t=1070 vk=0x41 up=0",
                                  }));
    EXPECT_EQ(path.recorded.Take(), (Events{"+Ctrl", "+Shift", "+A"}));

    path.Feed({0x80, 0x05});
    EXPECT_EQ(path.writer.Take(), (Events{
                                      "byte t=1080 value=0x80",
                                      "byte t=1090 value=0x05",
                                      "release t=1100 control=0 bank=0",
                                      "key t=1110 vk=0x41 up=1",
                                      "key t=1120 vk=0x11 up=1",
                                      "key t=1130 vk=0x10 up=1",
                                  }));
}

// Tracking writes a keyset line only when it runs in full: a new window in front, or reloaded keysets.
TEST(DriverTrace, TheKeysetIsTracedWhenTrackingRunsAndTheEditorWhenItIsInFront) {
    DriverRig rig;
    rig.Run("notepad", 7);
    TracedPath path(rig);
    const auto keysets = [&path] {
        Events found;
        for (const std::string& line : path.writer.Take())
            if (line.rfind("keyset ", 0) == 0)
                found.push_back(line.substr(line.find(' ', 7) + 1));
        return found;
    };

    path.Feed({0x80, 0x44, 0x80, 0x04, 0x80, 0x44, 0x80, 0x04});
    EXPECT_EQ(keysets(), (Events{"index=0 name=\"Default\" editor=0 test=0 why=\"no keyset for \\\"notepad\\\"\""}));

    rig.RunEditor();
    path.Feed({0x80, 0x44});
    EXPECT_EQ(keysets(), (Events{"index=0 name=\"Default\" editor=1 test=0"}));
}

// A reload that cannot read the registry (someone deleted "Keysets") leaves the keysets the driver
// had, and a line that says why.
TEST(DriverTrace, AReloadThatFailsKeepsTheKeysetsAndIsTraced) {
    DriverRig rig;
    rig.Assign(rig.AddKeyset("waveedit"), kMainBank, kPlay, KeyAssignment('A'));
    rig.SaveKeysets();
    rig.registry.RemoveKey(kKeysetsKeyPath);
    rig.shared.SetKeysetsChanged(1);
    rig.Run("waveedit", 7);
    TracedPath path(rig);
    path.Feed({0x80, 0x45});
    Events failed;
    for (const std::string& line : path.writer.Take())
        if (line.rfind("keysets ", 0) == 0)
            failed.push_back(line);
    EXPECT_EQ(failed, (Events{"keysets t=1040 action=\"reload\" error=2 locked=1"}));
    EXPECT_EQ(path.recorded.Take(), (Events{"+A"}));
}

TEST(DriverTrace, MouseEventsAreTracedWithTheirFlagsAndDistances) {
    DriverRig rig;
    ControlAssignment move = KeyAssignment(0, 0, kHorizontalMove);
    move.wheelSpeed = 128;
    rig.Assign(0, kMainBank, kWheelClockwise, move);
    rig.Run("notepad", 7);
    TracedPath path(rig);
    path.Feed({0x81, fakes::Clockwise(2)});
    Events mouse;
    for (const std::string& line : path.writer.Take())
        if (line.rfind("mouse ", 0) == 0)
            mouse.push_back(line.substr(line.find(' ', 6) + 1));
    EXPECT_EQ(mouse, (Events{"flags=0x0001 dx=3 dy=0", "flags=0x0001 dx=3 dy=0"}));
}

class ScriptedLink final : public DeviceLink {
public:
    bool Open(int) override { return open_ = opens; }
    bool Close() override { return std::exchange(open_, false); }
    bool WriterGeneric(const std::uint8_t*, std::size_t) override { return open_; }
    bool IsOpen() const override { return open_; }
    std::uint32_t OpenError() const override { return open_ ? 0 : 2; }
    bool opens = true;

private:
    bool open_ = false;
};

TEST(DriverTrace, ThePortsOpeningTheStartByteAndClosingAreTraced) {
    FakeTraceWriter writer;
    CDriverTrace trace(writer);
    ScriptedLink link;
    TracingLink traced(link, trace);
    const std::uint8_t start = kStartByte;
    const std::uint8_t other = 0x41;

    link.opens = false;
    EXPECT_FALSE(traced.Open(3));
    link.opens = true;
    EXPECT_TRUE(traced.Open(12));
    EXPECT_TRUE(traced.WriterGeneric(&start, 1));
    EXPECT_TRUE(traced.WriterGeneric(&other, 1)); // only the start byte is worth a line
    EXPECT_TRUE(traced.Close());
    EXPECT_FALSE(traced.Close());
    EXPECT_EQ(writer.Take(),
              (Events{"port t=1010 open=0 name=\"COM3\" error=2", "port t=1020 open=1 name=\"COM12\" error=0",
                      "startbyte t=1030 ok=1", "close t=1040 was_open=1", "close t=1050 was_open=0"}));
}

TEST(DriverTrace, TheTrayMenuAndItsCommandsAreTraced) {
    FakeTraceWriter writer;
    CDriverTrace trace(writer);
    trace.Start("WINNT");
    trace.Icon(true);
    trace.Menu("Enable QVL2", 32775);
    trace.Command(32775);
    trace.Exit();
    EXPECT_EQ(writer.Take(),
              (Events{"start t=1010 frequency=10000000 platform=\"WINNT\"", "icon t=1020 added=1",
                      "menu t=1030 toggle=\"Enable QVL2\" command=32775", "command t=1040 id=32775", "exit t=1050"}));
}

} // namespace
} // namespace qvl
