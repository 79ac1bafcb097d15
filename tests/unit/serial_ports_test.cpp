// The port the preferences name, the ports the machine lists, the port box made of them, and the
// finding of the device's port from what each port brings.
#include "driver/device/port_finder.h"
#include "editor/app/preferences.h"
#include "fake_registry.h"
#include "model/prefs_storage.h"
#include "model/serial_ports.h"
#include "model/shared_names.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace qvl {
namespace {

using fakes::Bytes;

const std::string kSettingsPath = std::string(kStoreRootPath) + "\\Settings";

Bytes TextBytes(const std::string& text, bool nul = true) {
    Bytes bytes(text.begin(), text.end());
    if (nul)
        bytes.push_back(0);
    return bytes;
}

// "Port" wins when it names a port; otherwise "Prefs"'s comPort, as before.
TEST(PortPreference, ThePortValueWinsOnlyWhenItNamesAPort) {
    const Bytes com3 = {1, 0, 0, 0, 2, 0, 0, 0};
    const struct {
        std::optional<Bytes> prefs;
        std::optional<Bytes> port;
        int expected;
    } cases[] = {
        {com3, TextBytes("COM12"), 12},
        {com3, TextBytes("com7", false), 7},
        {std::nullopt, TextBytes("COM9"), 9},
        {com3, std::nullopt, 3},
        {com3, TextBytes(""), 3},
        {com3, TextBytes("COM0"), 3},
        {com3, TextBytes("COM12 "), 3},
        {com3, Bytes{12, 0, 0, 0}, 3},
        {com3, TextBytes(std::string(300, 'C')), 3},
        {std::nullopt, std::nullopt, 1},
    };
    for (const auto& c : cases) {
        fakes::FakeRegistry registry;
        if (c.prefs)
            registry.SetValue(kSettingsPath, "Prefs", *c.prefs);
        if (c.port)
            registry.SetValue(kSettingsPath, "Port", *c.port);
        EXPECT_EQ(ReadPreferences(registry).port, c.expected) << c.expected;
    }
}

struct ListedPorts final : SerialPortSource {
    std::vector<std::string> mapped;
    std::vector<NamedPort> classed;
    std::vector<std::string> MappedPorts() override { return mapped; }
    std::vector<NamedPort> ClassPorts() override { return classed; }
};

TEST(SerialPortList, JoinsBothListsOnceEachByNumberWithTheirDescriptions) {
    const struct {
        std::vector<std::string> mapped;
        std::vector<NamedPort> classed;
        std::vector<SerialPort> listed;
    } cases[] = {
        {{"COM3", "COM1"}, {}, {{1, ""}, {3, ""}}},
        {{}, {{"COM7", "USB Serial Port (COM7)"}, {"LPT1", "Printer Port (LPT1)"}}, {{7, "USB Serial Port"}}},
        {{"COM10", "COM9", "COM7", "COM9"},
         {{"COM7", "USB Serial Port (COM7)"}, {"COM10", "Bluetooth link"}},
         {{7, "USB Serial Port"}, {9, ""}, {10, "Bluetooth link"}}},
        {{"COM2", "LPT1", "", "COM300"}, {{"COM2", "Port (COM12)"}}, {{2, "Port (COM12)"}}},
    };
    for (const auto& c : cases) {
        ListedPorts source;
        source.mapped = c.mapped;
        source.classed = c.classed;
        EXPECT_EQ(ListSerialPorts(source), c.listed);
    }
}

// The box lists the ports by number, with the stored one where it belongs when the system lists it
// not; what the box holds at Close names a port as an item's text or as a name typed.
TEST(PortBox, ListsThePortsWithTheStoredOneAndReadsTheChoice) {
    const std::vector<SerialPort> listed = {{3, ""}, {7, "USB Serial Port"}, {20, ""}};
    const std::vector<PortItem> items = PortBoxItems(listed, 12, "%1 (not present)");
    std::vector<std::string> texts;
    for (const PortItem& item : items)
        texts.push_back(item.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"COM3", "COM7 - USB Serial Port", "COM12 (not present)", "COM20"}));

    const struct {
        std::string text;
        std::optional<int> port;
    } choices[] = {{"COM7 - USB Serial Port", 7},      {"COM12 (not present)", 12}, {"  com15 ", 15},
                   {"COM7 - something", std::nullopt}, {"COM 3", std::nullopt},     {"", std::nullopt}};
    for (const auto& c : choices)
        EXPECT_EQ(ChosenPort(c.text, items), c.port) << c.text;
}

// A write of the editor keeps what others stored since its last look where the editor changed nothing.
TEST(PortBox, TheEditorsWriteKeepsAPortTheDriverFoundMeanwhile) {
    Preferences base, theirs, mine;
    theirs.port = 9;             // the driver found the device meanwhile
    mine.record.loadAtStart = 0; // the editor changed only this
    EXPECT_EQ(MergePreferences(base, mine, theirs).port, 9);
    EXPECT_EQ(MergePreferences(base, mine, theirs).record.loadAtStart, 0);
    mine.port = 4;
    EXPECT_EQ(MergePreferences(base, mine, theirs).record.comPort, 3);
}

// Each port's bytes as they come, port by port, in arrival order: {port, bytes}.
struct Arrival {
    std::size_t port;
    std::vector<std::uint8_t> bytes;
};

TEST(PortFinder, TheFirstWholePressFindsThePortAndNoiseNever) {
    const std::vector<std::uint8_t> text = {'A', 'T', 'Z', '\r', '\n', 'O', 'K'};
    const struct {
        const char* what;
        std::vector<Arrival> arrivals;
        std::optional<std::size_t> found;
    } cases[] = {
        {"play on port 1 among noise",
         {{0, text}, {1, {0x80, 0x45}}, {2, {0x13, 0x80}}, {1, {0x80, 0x05}}, {0, text}},
         1},
        {"a press split across reads", {{2, {0x80}}, {2, {0x41, 0x80}}, {2, {0x01}}}, 2},
        {"the LED key's on, then off", {{0, {0x80, 0x47, 0x80, 0x07}}}, 0},
        {"two ports pressed: the first whole press",
         {{0, {0x80, 0x44}}, {1, {0x80, 0x45, 0x80, 0x05}}, {0, {0x80, 0x04}}},
         1},
        {"text alone", {{0, text}, {1, text}}, std::nullopt},
        {"lone data bytes", {{0, {0x45, 0x05, 0x45, 0x05}}}, std::nullopt},
        {"another key's up", {{0, {0x80, 0x45, 0x80, 0x04}}}, std::nullopt},
        {"an invalid message between", {{0, {0x80, 0x45, 0x80, 0x0D, 0x80, 0x05}}}, std::nullopt},
        {"a wheel step between", {{0, {0x80, 0x45, 0x81, 0x7F, 0x80, 0x05}}}, std::nullopt},
        {"a stray byte between", {{0, {0x80, 0x45, 0x33, 0x80, 0x05}}}, std::nullopt},
    };
    for (const auto& c : cases) {
        CPortFinder finder(3);
        for (const Arrival& arrival : c.arrivals)
            finder.Feed(arrival.port, arrival.bytes.data(), arrival.bytes.size());
        EXPECT_EQ(finder.Found(), c.found) << c.what;
    }
}

} // namespace
} // namespace qvl
