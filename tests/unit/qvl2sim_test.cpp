#include "decoder_recorder.h"
#include "driver/device/device_decoder.h"
#include "tools/qvl2sim/sim_keys.h"
#include "tools/qvl2sim/sim_protocol.h"
#include "tools/qvl2sim/sim_script.h"

#include <gtest/gtest.h>

namespace qvl::sim {
namespace {

using fakes::DecodedEvent;
using fakes::DecoderRig;

std::vector<std::uint8_t> SentBytes(const std::vector<SimCommand>& commands) {
    std::vector<std::uint8_t> bytes;
    for (const SimCommand& c : commands)
        if (c.kind == SimCommand::kSend)
            bytes.insert(bytes.end(), c.bytes.begin(), c.bytes.end());
    return bytes;
}

void Play(DecoderRig& rig, const std::vector<SimCommand>& commands) {
    for (std::uint8_t b : SentBytes(commands))
        rig.decoder.ProcessByte(b);
}

TEST(SimProtocol, EveryWheelStepDecodesToItsOwnDirectionAndMagnitude) {
    for (int direction : {kCounterClockwise, kClockwise}) {
        for (int magnitude = 1; magnitude <= kMaxWheelMagnitude; ++magnitude) {
            const std::optional<Message> message = WheelMessage(direction, magnitude);
            ASSERT_TRUE(message);
            EXPECT_EQ((*message)[0], 0x81);
            const WheelStep step = DecodeWheelByte((*message)[1]);
            EXPECT_EQ(step.direction, direction) << magnitude;
            EXPECT_EQ(step.magnitude, magnitude) << direction;
            EXPECT_EQ(DescribeMessage(*message),
                      std::string(direction == kClockwise ? "wheel cw " : "wheel ccw ") + std::to_string(magnitude));
        }
    }
    EXPECT_FALSE(WheelMessage(kClockwise, 0));
    EXPECT_FALSE(WheelMessage(kClockwise, 30));
    EXPECT_FALSE(WheelMessage(3, 1));
}

TEST(SimProtocol, DescribesWhatTheDriverWouldDecode) {
    const struct {
        Message message;
        const char* meaning;
    } cases[] = {
        {{0x80, 0x45}, "press play"}, {{0x80, 0x05}, "release play"}, {{0x80, 0x42}, "press rewind"},
        {{0x80, 0x43}, "press ff"},   {{0x80, 0x46}, "press record"}, {{0x80, 0x40}, "option down"},
        {{0x80, 0x01}, "shift up"},   {{0x80, 0x47}, "led on"},       {{0x80, 0x07}, "led off"},
        {{0x81, 0x7D}, "wheel cw 3"}, {{0x81, 0x3E}, "wheel ccw 29"}, {{0x81, 0x62}, "wheel cw 29"},
        {{0x81, 0x00}, "no event"},   {{0x81, 0x3F}, "no event"},     {{0x80, 0x48}, "no event"},
        {{0x80, 0x80}, "no event"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DescribeMessage(c.message), c.meaning) << int(c.message[1]);
}

TEST(SimScript, ModifiersAndKeysReachTheDecoderAsTheDeviceWouldSendThem) {
    const ScriptParse parse = ParseScript("# Play in the Option+Shift bank\n"
                                          "OPTION down\n"
                                          "shift Down   # both held\n"
                                          "press play\n"
                                          "release play\n"
                                          "shift up\n"
                                          "tap ff 0\n");
    ASSERT_TRUE(parse.Ok()) << parse.errors.front();
    DecoderRig rig;
    Play(rig, parse.commands);
    ASSERT_EQ(rig.sink.events.size(), 6u);
    EXPECT_EQ(rig.sink.events[0].editorId, kEditorOption);
    EXPECT_EQ(rig.sink.events[1].editorId, kEditorShift);
    EXPECT_EQ(rig.sink.events[2].kind, DecodedEvent::kHandle);
    EXPECT_EQ(rig.sink.events[2].control, 0);
    EXPECT_EQ(rig.sink.events[2].bank, 3);
    EXPECT_EQ(rig.sink.events[3].kind, DecodedEvent::kRelease);
    EXPECT_EQ(rig.sink.events[4].control, 2) << "fast forward";
    EXPECT_EQ(rig.sink.events[4].bank, 1) << "OPTION alone after SHIFT came up";
    EXPECT_EQ(rig.sink.events[5].kind, DecodedEvent::kRelease);
}

TEST(SimScript, WheelStepsLedAndRawBytesDecode) {
    const ScriptParse parse = ParseScript("led off\nwheel cw 10 3\nwheel ccw 29\nsend 0x80 80 45\n");
    ASSERT_TRUE(parse.Ok()) << parse.errors.front();
    EXPECT_EQ(SentBytes(parse.commands), (std::vector<std::uint8_t>{0x80, 0x07, 0x81, 0x75, 0x81, 0x75, 0x81, 0x75,
                                                                    0x81, 0x1D, 0x80, 0x80, 0x45}));
    DecoderRig rig;
    Play(rig, parse.commands);
    // LED report, three clockwise steps, one counter-clockwise; the raw bytes are garbage.
    ASSERT_EQ(rig.sink.events.size(), 5u);
    EXPECT_EQ(rig.sink.events[0].editorId, kEditorLedOff);
    EXPECT_EQ(rig.sink.events[1].control, 6);
    EXPECT_EQ(rig.sink.events[1].bank, 1) << "LED off selects the wheel's second bank";
    EXPECT_EQ(rig.sink.events[3].magnitude, 10);
    EXPECT_EQ(rig.sink.events[3].position, 20);
    EXPECT_EQ(rig.sink.events[4].control, 5);
    EXPECT_EQ(rig.sink.events[4].magnitude, 29);
}

TEST(SimScript, TapsRepeatsAndPausesBecomeTimedCommands) {
    const ScriptParse parse =
        ParseScript("tap stop\ntap rec 120\nwheel ccw 2 3 40\nwait 250\nexpect start\nexpect 0x07 500");
    ASSERT_TRUE(parse.Ok()) << parse.errors.front();
    std::vector<std::string> shape;
    for (const SimCommand& c : parse.commands) {
        if (c.kind == SimCommand::kSend)
            shape.push_back(c.description);
        else if (c.kind == SimCommand::kWait)
            shape.push_back("wait " + std::to_string(c.milliseconds));
        else
            shape.push_back("expect " + std::to_string(c.bytes[0]) + " " + std::to_string(c.milliseconds));
    }
    EXPECT_EQ(shape, (std::vector<std::string>{"press stop", "wait 50", "release stop", "press record", "wait 120",
                                               "release record", "wheel ccw 2", "wait 40", "wheel ccw 2", "wait 40",
                                               "wheel ccw 2", "wait 250", "expect 179 10000", "expect 7 500"}));
    EXPECT_EQ(parse.commands.back().line, 6);
}

TEST(SimScript, AnyWrongLineIsNamedAndNothingIsSent) {
    const ScriptParse parse = ParseScript("press play\n"
                                          "press option\n"
                                          "wheel cw 30\n"
                                          "wheel up 3\n"
                                          "send 0x100\n"
                                          "led dim\n"
                                          "wait soon\n"
                                          "jump\n"
                                          "\n"
                                          "   # only a comment\n"
                                          "expect 0xB3 forever\n");
    EXPECT_TRUE(parse.commands.empty());
    ASSERT_EQ(parse.errors.size(), 8u);
    EXPECT_EQ(parse.errors[0].rfind("line 2: ", 0), 0u);
    EXPECT_EQ(parse.errors[1], "line 3: the wheel's magnitude is 1 to 29");
    EXPECT_EQ(parse.errors[4].rfind("line 6: ", 0), 0u);
    EXPECT_EQ(parse.errors[6], "line 8: unknown command \"jump\"");
    EXPECT_EQ(parse.errors[7].rfind("line 11: ", 0), 0u);
}

// Repeat counts multiply: a short script must not expand without end. The line that crosses the bound
// is named, and nothing is kept.
TEST(SimScript, AScriptThatExpandsBeyondTheBoundIsRefusedAtItsLine) {
    std::string text = "press play\n";
    for (int line = 0; line < 84; ++line)
        text += "wheel cw 1 100000 1\n";
    const ScriptParse parse = ParseScript(text);
    EXPECT_TRUE(parse.commands.empty());
    ASSERT_EQ(parse.errors.size(), 1u);
    EXPECT_EQ(parse.errors[0], "line 7: the script expands to more than 1000000 commands");
}

TEST(SimKeys, TogglesAndTapsSendTheDeviceMessages) {
    KeyboardState state;
    const struct {
        char key;
        std::vector<std::uint8_t> bytes;
    } presses[] = {
        {'o', {0x80, 0x40}},
        {'o', {0x80, 0x00}},
        {'h', {0x80, 0x41}},
        {'l', {0x80, 0x07}},
        {'l', {0x80, 0x47}},
        {'p', {0x80, 0x45, 0x80, 0x05}},
        {'c', {0x80, 0x46, 0x80, 0x06}},
        {']', {0x81, 0x7F}},
        {'[', {0x81, 0x01}},
    };
    for (const auto& press : presses) {
        const KeyAction action = ActionForKey(press.key, state);
        EXPECT_EQ(action.kind, KeyAction::kCommands) << press.key;
        EXPECT_EQ(SentBytes(action.commands), press.bytes) << press.key;
    }
    EXPECT_TRUE(state.shiftDown);
    EXPECT_FALSE(state.optionDown);
}

TEST(SimKeys, DigitsSetTheWheelStepAndOtherKeysDoNothing) {
    KeyboardState state;
    EXPECT_EQ(ActionForKey('9', state).kind, KeyAction::kNone);
    EXPECT_EQ(SentBytes(ActionForKey(']', state).commands), (std::vector<std::uint8_t>{0x81, 0x40}));
    ActionForKey('4', state);
    EXPECT_EQ(SentBytes(ActionForKey('[', state).commands), (std::vector<std::uint8_t>{0x81, 0x05}));
    EXPECT_EQ(ActionForKey('x', state).kind, KeyAction::kNone);
    EXPECT_TRUE(ActionForKey('x', state).commands.empty());
    EXPECT_EQ(ActionForKey('q', state).kind, KeyAction::kQuit);
    EXPECT_EQ(ActionForKey('?', state).kind, KeyAction::kHelp);
}

} // namespace
} // namespace qvl::sim
