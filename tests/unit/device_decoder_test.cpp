#include "decoder_recorder.h"

#include "model/keyset_record.h"

#include <gtest/gtest.h>

namespace qvl {
namespace {

using fakes::DecodedEvent;
using fakes::DecoderRig;

// The sixteen button data bytes the device sends; every other value after 0x80 is no event.
struct ButtonRow {
    int data;
    DecodedEvent::Kind kind;
    bool fires;
    int control; // -1: the event leaves the control index alone
    int editorId;
    int led; // -1: no LED report
    int bank;
};
const ButtonRow kButtonRows[] = {
    {0x40, DecodedEvent::kHandle, false, -1, 1008, -1, kOptionBank}, // OPTION down
    {0x41, DecodedEvent::kHandle, false, -1, 1009, -1, kShiftBank},  // SHIFT down
    {0x42, DecodedEvent::kHandle, true, kRewind, 1010, -1, 0},
    {0x43, DecodedEvent::kHandle, true, kFastForward, 1011, -1, 0},
    {0x44, DecodedEvent::kHandle, true, kStop, 1012, -1, 0},
    {0x45, DecodedEvent::kHandle, true, kPlay, 1013, -1, 0},
    {0x46, DecodedEvent::kHandle, true, kRecord, 1014, -1, 0},
    {0x47, DecodedEvent::kHandle, false, -1, 1022, 1, 0}, // LED on
    {0x02, DecodedEvent::kRelease, false, kRewind, 0, -1, 0},
    {0x03, DecodedEvent::kRelease, false, kFastForward, 0, -1, 0},
    {0x04, DecodedEvent::kRelease, false, kStop, 0, -1, 0},
    {0x05, DecodedEvent::kRelease, false, kPlay, 0, -1, 0},
    {0x06, DecodedEvent::kRelease, false, kRecord, 0, -1, 0},
    {0x07, DecodedEvent::kHandle, false, -1, 1023, 0, 0}, // LED off
};

TEST(DecoderButtons, EveryDataByte) {
    for (int data = 0; data < 256; ++data) {
        SCOPED_TRACE(testing::Message() << "data 0x" << std::hex << data);
        DecoderRig rig;
        rig.Feed({0x80, data});
        EXPECT_EQ(rig.decoder.ParserState(), CDeviceDecoder::kIdle);
        const ButtonRow* row = nullptr;
        for (const ButtonRow& r : kButtonRows)
            row = r.data == data ? &r : row;
        const bool modifierUp = data == 0x00 || data == 0x01;
        if (row == nullptr) {
            EXPECT_TRUE(rig.sink.events.empty());
            EXPECT_TRUE(rig.led.states.empty());
            EXPECT_EQ(rig.decoder.MessageKind(), modifierUp ? 1 : 0);
            continue;
        }
        ASSERT_EQ(rig.sink.events.size(), 1u);
        const DecodedEvent& e = rig.Last();
        EXPECT_EQ(e.kind, row->kind);
        EXPECT_EQ(e.fire, row->fires);
        EXPECT_EQ(e.messageKind, 1);
        EXPECT_EQ(e.control, row->control >= 0 ? row->control : 1); // the index starts at 1 (Stop)
        EXPECT_EQ(e.editorId, row->editorId);
        EXPECT_EQ(e.magnitude, 1);
        EXPECT_EQ(e.bank, row->bank);
        const std::vector<int> expectedLed = row->led >= 0 ? std::vector<int>{row->led} : std::vector<int>{};
        EXPECT_EQ(rig.led.states, expectedLed);
    }
}

TEST(DecoderButtons, ModifiersPickTheTransportBank) {
    DecoderRig rig;
    rig.Feed({0x80, 0x40, 0x80, 0x41, 0x80, 0x45});
    EXPECT_EQ(rig.Last().bank, kOptionShiftBank);
    EXPECT_EQ(rig.Last().control, kPlay);

    DecoderRig released;
    released.Feed({0x80, 0x40, 0x80, 0x41, 0x80, 0x00, 0x80, 0x45});
    EXPECT_EQ(released.Last().bank, kShiftBank);

    DecoderRig option;
    option.Feed({0x80, 0x40, 0x80, 0x44});
    EXPECT_EQ(option.Last().bank, kOptionBank);
    EXPECT_EQ(option.Last().editorId, 1012);
    // OPTION up calls nothing; the next press is in the main bank again.
    option.Feed({0x80, 0x00});
    EXPECT_EQ(option.sink.events.size(), 2u);
    option.Feed({0x80, 0x44});
    EXPECT_EQ(option.Last().bank, kMainBank);
}

TEST(DecoderButtons, ModifierEventCarriesTheBankOfTheStoredControl) {
    DecoderRig rig;
    rig.Feed({0x80, 0x07}); // LED off: wheel bank 1
    rig.Feed({0x81, 0x7F}); // clockwise step
    rig.Feed({0x80, 0x41}); // SHIFT down while the stored control is the wheel
    const DecodedEvent& e = rig.Last();
    EXPECT_EQ(e.editorId, 1009);
    EXPECT_FALSE(e.fire);
    EXPECT_EQ(e.control, kWheelClockwise);
    EXPECT_EQ(e.bank, kOptionBank); // the LED rule, not SHIFT
    // The next transport press takes SHIFT into account.
    rig.Feed({0x80, 0x46});
    EXPECT_EQ(rig.Last().bank, kShiftBank);
}

TEST(DecoderButtons, ReleaseUsesTheBankLastComputed) {
    DecoderRig rig;
    rig.Feed({0x80, 0x40, 0x80, 0x45}); // OPTION + Play: bank 1
    EXPECT_EQ(rig.Last().bank, kOptionBank);
    rig.Feed({0x81, 0x01}); // a wheel step with the LED on: bank 0
    rig.Feed({0x80, 0x05}); // Play up
    const DecodedEvent& e = rig.Last();
    EXPECT_EQ(e.kind, DecodedEvent::kRelease);
    EXPECT_EQ(e.control, kPlay);
    EXPECT_EQ(e.bank, kMainBank);
    EXPECT_FALSE(e.fire);
    EXPECT_EQ(e.magnitude, 1);
}

TEST(DecoderButtons, LedKeyFollowsTheDeviceAndSetsTheWheelBank) {
    DecoderRig rig;
    rig.Feed({0x80, 0x40, 0x80, 0x41}); // modifiers do not matter to the wheel
    rig.Feed({0x80, 0x07, 0x81, 0x10});
    EXPECT_EQ(rig.Last().bank, kOptionBank);
    EXPECT_EQ(rig.decoder.Wheel().LedState(), 1);
    rig.Feed({0x80, 0x47, 0x81, 0x50});
    EXPECT_EQ(rig.Last().bank, kMainBank);
    EXPECT_EQ(rig.led.states, (std::vector<int>{0, 1}));
    // The LED reports themselves fire nothing and leave the bank as it was.
    for (const DecodedEvent& e : rig.sink.events) {
        if (e.editorId == 1022 || e.editorId == 1023) {
            EXPECT_FALSE(e.fire);
        }
    }
}

// The wheel data table, row by row.
struct WheelRow {
    int first, last, direction;
    int magnitude; // 0: computed as 127 - data, -1: equal to the data
};
const WheelRow kWheelRows[] = {
    {1, 28, 1, -1},   {29, 62, 1, 29},  {64, 98, 2, 29},  {99, 124, 2, 0},
    {125, 125, 2, 3}, {126, 126, 2, 2}, {127, 127, 2, 1},
};

TEST(DecoderWheel, EveryDataByte) {
    for (int data = 0; data < 256; ++data) {
        SCOPED_TRACE(testing::Message() << "data " << data);
        int direction = 0, magnitude = 0;
        for (const WheelRow& row : kWheelRows) {
            if (data >= row.first && data <= row.last) {
                direction = row.direction;
                magnitude = row.magnitude > 0 ? row.magnitude : row.magnitude == 0 ? 127 - data : data;
            }
        }
        DecoderRig rig;
        rig.Feed({0x81, data});
        EXPECT_EQ(rig.decoder.ParserState(), CDeviceDecoder::kIdle);
        if (direction == 0) {
            EXPECT_TRUE(rig.sink.events.empty());
            EXPECT_EQ(rig.decoder.MessageKind(), 0);
            continue;
        }
        ASSERT_EQ(rig.sink.events.size(), 1u);
        const DecodedEvent& e = rig.Last();
        EXPECT_EQ(e.kind, DecodedEvent::kHandle);
        EXPECT_TRUE(e.fire);
        EXPECT_EQ(e.messageKind, 2);
        EXPECT_EQ(e.control, direction == 1 ? kWheelCounterClockwise : kWheelClockwise);
        EXPECT_EQ(e.editorId, direction == 1 ? 1015 : 1016);
        EXPECT_EQ(e.magnitude, magnitude);
        EXPECT_EQ(rig.decoder.Wheel().Magnitude(), magnitude);
        EXPECT_EQ(e.bank, kMainBank);
    }
}

TEST(DecoderWheel, NeighbouringValuesOfTheTable) {
    struct Case {
        int data, control, magnitude;
    } cases[] = {{0x7D, kWheelClockwise, 3},         {0x7C, kWheelClockwise, 3},
                 {0x1D, kWheelCounterClockwise, 29}, {0x3E, kWheelCounterClockwise, 29},
                 {0x40, kWheelClockwise, 29},        {0x62, kWheelClockwise, 29},
                 {0x63, kWheelClockwise, 28},        {0x1C, kWheelCounterClockwise, 28}};
    for (const Case& c : cases) {
        DecoderRig rig;
        rig.Feed({0x81, c.data});
        ASSERT_EQ(rig.sink.events.size(), 1u) << c.data;
        EXPECT_EQ(rig.Last().control, c.control) << c.data;
        EXPECT_EQ(rig.Last().magnitude, c.magnitude) << c.data;
    }
}

TEST(DecoderWheel, MagnitudeIsOneForEveryOtherEvent) {
    DecoderRig rig;
    rig.Feed({0x81, 0x40, 0x80, 0x45});
    EXPECT_EQ(rig.Last().magnitude, 1);
    EXPECT_EQ(rig.decoder.Wheel().Magnitude(), 1);
}

TEST(DecoderParser, StrayAndMisplacedBytes) {
    DecoderRig lone;
    lone.Feed({0x45, 0x05, 0x47, 0x00, 0x7F, 0xB3, 0xFF});
    EXPECT_TRUE(lone.sink.events.empty());
    EXPECT_EQ(lone.decoder.ParserState(), CDeviceDecoder::kIdle);

    // The second status byte is taken as an invalid data byte; the 0x45 after it has no status.
    DecoderRig doubled;
    doubled.Feed({0x80, 0x80, 0x45});
    EXPECT_TRUE(doubled.sink.events.empty());
    EXPECT_EQ(doubled.decoder.MessageKind(), 0);

    DecoderRig crossed;
    crossed.Feed({0x81, 0x80, 0x45, 0x80, 0x45});
    ASSERT_EQ(crossed.sink.events.size(), 1u);
    EXPECT_EQ(crossed.Last().editorId, 1013);
    EXPECT_EQ(crossed.Last().messageKind, 1);
}

TEST(DecoderParser, EventFieldsAreClearedByTheNextByte) {
    DecoderRig rig;
    rig.Feed({0x80, 0x45});
    EXPECT_TRUE(rig.decoder.FireAssignment());
    EXPECT_EQ(rig.decoder.EditorControlId(), 1013);
    rig.Feed({0x81});
    EXPECT_FALSE(rig.decoder.FireAssignment());
    EXPECT_EQ(rig.decoder.EditorControlId(), 0);
    EXPECT_EQ(rig.decoder.ControlIndex(), kPlay); // the control index stays
}

TEST(DecoderParser, GarbageBetweenMessagesLosesNoMessage) {
    DecoderRig rig;
    rig.Feed({0x80, 0x45, 0x13, 0x37, 0x80, 0x05, 0x00, 0x81, 0x7F, 0x7F});
    ASSERT_EQ(rig.sink.events.size(), 3u);
    EXPECT_EQ(rig.sink.events[0].editorId, 1013);
    EXPECT_EQ(rig.sink.events[1].kind, DecodedEvent::kRelease);
    EXPECT_EQ(rig.sink.events[2].editorId, 1016);
}

TEST(DecoderWheelTracker, FirstStepStartsTheMovementWithoutATimer) {
    DecoderRig rig;
    rig.Feed({0x81, 0x7F});
    EXPECT_EQ(rig.timer.starts, 0);
    EXPECT_TRUE(rig.Last().wheelRunning);
    EXPECT_EQ(rig.decoder.Wheel().Running(), 2);
    EXPECT_EQ(rig.Last().position, 0);
    EXPECT_EQ(rig.Last().speed, 0);

    rig.Feed({0x81, 127 - 10}); // clockwise, magnitude 10
    EXPECT_EQ(rig.timer.starts, 1);
    EXPECT_EQ(rig.Last().position, 10);
    EXPECT_EQ(rig.Last().speed, 5);
    rig.Feed({0x81, 3}); // counter-clockwise 3: running keeps the starting direction
    EXPECT_EQ(rig.timer.starts, 2);
    EXPECT_EQ(rig.Last().position, 7);
    EXPECT_EQ(rig.Last().speed, 2);
    EXPECT_EQ(rig.decoder.Wheel().Running(), 2);
    EXPECT_EQ(rig.decoder.Wheel().Direction(), 1);
}

TEST(DecoderWheelTracker, StopWheelsEndsTheMovement) {
    DecoderRig rig;
    rig.Feed({0x81, 5, 0x81, 5});
    EXPECT_EQ(rig.Last().position, -5);
    rig.decoder.StopWheels();
    EXPECT_FALSE(rig.decoder.IsWheelRunning());
    EXPECT_EQ(rig.decoder.Wheel().Position(), -5); // stopping leaves the other fields alone
    rig.Feed({0x81, 0x7F});
    EXPECT_EQ(rig.Last().position, 0);
    EXPECT_EQ(rig.decoder.Wheel().Running(), 2);
    EXPECT_EQ(rig.timer.starts, 1);
}

TEST(DecoderWheelTracker, SmallStepsStayInTheDeadBand) {
    DecoderRig rig;
    rig.Feed({0x81, 0x7F, 0x81, 127 - 3});
    EXPECT_EQ(rig.Last().position, 3);
    EXPECT_EQ(rig.Last().speed, 0);
}

TEST(DecoderWheelTracker, SpeedArithmetic) {
    struct Case {
        std::int32_t position, speed;
    } cases[] = {{0, 0},   {5, 0},   {-5, 0},   {6, 1},     {-6, -1},   {10, 5},
                 {63, 58}, {64, 58}, {200, 58}, {-65, -60}, {-66, -60}, {-200, -60}};
    for (const Case& c : cases)
        EXPECT_EQ(CWheelTracker::SpeedFor(c.position), c.speed) << c.position;

    DecoderRig rig;
    rig.Feed({0x81, 0x40});
    for (int i = 0; i < 7; ++i)
        rig.Feed({0x81, 0x40}); // seven more clockwise steps of 29
    EXPECT_EQ(rig.Last().position, 203);
    EXPECT_EQ(rig.Last().speed, 58);
}

} // namespace
} // namespace qvl
