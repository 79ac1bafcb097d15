#include "driver/device/error_reporter.h"
#include "driver/device/serial_settings.h"
#include "driver/device/status_list.h"
#include "driver/device/write_queue.h"
#include "model/port_name.h"

#include <gtest/gtest.h>

#include <string>

namespace qvl {
namespace {

// Any port from COM1 to COM256, in any case; the stored and shown name is upper case, and every port
// opens by its device path.
TEST(SerialPortName, ComOneToTwoHundredFiftySixInAnyCaseAndNothingElse) {
    const struct {
        std::string name;
        std::optional<int> number;
    } cases[] = {
        {"COM1", 1},
        {"com7", 7},
        {"COM256", 256},
        {"COM0", std::nullopt},
        {"COM257", std::nullopt},
        {"COM 3", std::nullopt},
        {"COM07", std::nullopt},
        {"LPT1", std::nullopt},
        {"", std::nullopt},
        {"COM" + std::string(297, '9'), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParsePortName(c.name), c.number) << c.name;
    EXPECT_EQ(PortName(9), "COM9");
    EXPECT_EQ(PortDevicePath(256), "\\\\.\\COM256");
}

TEST(SerialErrorReport, HasTheExactLayoutOfTheDebuggerLine) {
    EXPECT_EQ(FormatErrorReport(50, "WaitCommEvent", "The request is not supported."),
              "Error 50: WaitCommEvent.\n\rThe request is not supported.\r\n");
    // A code past 2^31 is printed as the system's unsigned number, and an empty system text stays empty.
    EXPECT_EQ(FormatErrorReport(0xC0000135u, "CreateThread (Writer)", ""),
              "Error 3221225781: CreateThread (Writer).\n\r\r\n");
}

TEST(SerialReportThrottle, ShowsEachFailingCallOnceUntilTheNextConnection) {
    ReportThrottle throttle;
    EXPECT_TRUE(throttle.FirstTime("ClearCommError", 5));
    for (int i = 0; i < 10; ++i)
        EXPECT_FALSE(throttle.FirstTime("ClearCommError", 5));
    EXPECT_TRUE(throttle.FirstTime("ClearCommError", 6)) << "another error of the same call is news";
    EXPECT_TRUE(throttle.FirstTime("SetCommMask", 5));
    throttle.Reset();
    EXPECT_TRUE(throttle.FirstTime("ClearCommError", 5));
}

TEST(SerialStatusList, NumbersNotesFromTheFirstOne) {
    CStatusList list;
    EXPECT_EQ(list.Notes(), (std::vector<std::string>{"1:Status message go here:\r\n"}));
    EXPECT_EQ(list.Append("Read aborted\r\n"), "2:Read aborted\r\n");
    EXPECT_EQ(list.Append("Write aborted\r\n"), "3:Write aborted\r\n");
    EXPECT_EQ(list.Count(), 3);
    list.Reset();
    EXPECT_EQ(list.Notes(), (std::vector<std::string>{"1:Status message go here:\r\n"}));
}

TEST(SerialStatusList, KeepsTheMostRecentNotesWhenFull) {
    CStatusList list;
    for (int i = 0; i < 3000; ++i)
        list.Append("note " + std::to_string(i));
    const std::vector<std::string> notes = list.Notes();
    ASSERT_EQ(notes.size(), CStatusList::kMaxNotes);
    EXPECT_EQ(notes.back(), "3001:note 2999");
    EXPECT_EQ(notes.front(), "1978:note 1976");
    EXPECT_EQ(list.Count(), 3001);
}

TEST(SerialWriteQueue, HandsOutRequestsInOrderAndEmpties) {
    CWriteQueue queue;
    ASSERT_TRUE(queue.Push({WriteRequest::kCharacter, 0xB3, {}}));
    ASSERT_TRUE(queue.Push({WriteRequest::kBlock, 0, {1, 2, 3}}));
    ASSERT_TRUE(queue.Push({WriteRequest::kCharacter, 0x07, {}}));
    EXPECT_EQ(queue.QueuedBytes(), 5u);
    const std::deque<WriteRequest> taken = queue.TakeAll();
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[0].character, 0xB3);
    EXPECT_EQ(taken[1].block, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(taken[2].character, 0x07);
    EXPECT_EQ(queue.QueuedBytes(), 0u);
    EXPECT_TRUE(queue.TakeAll().empty());
}

TEST(SerialWriteQueue, RefusesWhatWouldOverflowAndKeepsTheRest) {
    CWriteQueue queue;
    ASSERT_TRUE(
        queue.Push({WriteRequest::kBlock, 0, std::vector<std::uint8_t>(CWriteQueue::kCapacityBytes - 1, 0x55)}));
    EXPECT_FALSE(queue.Push({WriteRequest::kBlock, 0, {1, 2}}));
    EXPECT_TRUE(queue.Push({WriteRequest::kCharacter, 9, {}}));
    EXPECT_FALSE(queue.Push({WriteRequest::kCharacter, 10, {}}));
    const std::deque<WriteRequest> taken = queue.TakeAll();
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[1].character, 9);
    EXPECT_TRUE(queue.Push({WriteRequest::kCharacter, 11, {}})) << "room again once the writer took its work";
}

} // namespace
} // namespace qvl
