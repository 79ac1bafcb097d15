// Writes the fuzz targets' first inputs, made with the product's own code where it has the format:
// device messages, a new keyset's file, a stored registry, the system's performance data, simulator
// scripts. Usage: make_seeds FOLDER (one subfolder per target).
#include "ascii_text_case.h"
#include "fake_registry.h"
#include "perf_data_builder.h"

#include "model/keyset_collection.h"
#include "model/keyset_file.h"
#include "model/keyset_registry.h"
#include "model/memory_blocks.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace qvl {
namespace {

using Bytes = std::vector<unsigned char>;
namespace fs = std::filesystem;

bool Put(const fs::path& folder, const std::string& target, const std::string& name, const Bytes& bytes) {
    fs::create_directories(folder / target);
    std::ofstream file(folder / target / name, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// Device streams: presses and releases of every key, the modifiers, the LED, wheel turns.
const std::vector<std::pair<std::string, Bytes>> kStreams = {
    {"keys", {0x80, 0x42, 0x80, 0x02, 0x80, 0x43, 0x80, 0x03, 0x80, 0x44,
              0x80, 0x04, 0x80, 0x45, 0x80, 0x05, 0x80, 0x46, 0x80, 0x06}},
    {"modifiers", {0x80, 0x40, 0x80, 0x41, 0x80, 0x45, 0x80, 0x05, 0x80, 0x00, 0x80, 0x01}},
    {"wheel", {0x81, 0x7F, 0x81, 0x7C, 0x81, 0x64, 0x81, 0x40, 0xFE, 0x81, 0x01, 0x81, 0x1C, 0x81, 0x3E, 0xFE}},
    {"led", {0x80, 0x07, 0x81, 0x7E, 0x81, 0x7E, 0x80, 0x47, 0x81, 0x02, 0x81, 0x02, 0xFE}},
    {"garbage", {0x45, 0x80, 0x81, 0x05, 0x81, 0x80, 0x80, 0xB8, 0x81, 0x00, 0x81, 0x3F, 0x81, 0xC0}},
};

void DeviceSeeds(const fs::path& folder) {
    for (const auto& [name, stream] : kStreams) {
        Bytes decoder{0xFE};
        decoder.insert(decoder.end(), stream.begin(), stream.end());
        Put(folder, "decoder", name, decoder);
    }
    // Assignments of eight bytes: bank << 6 | control, key, modifiers, special (bit 7: capture on first
    // press), mouse mode, wheel speed, click x, y.
    const std::vector<std::pair<std::string, Bytes>> assignments = {
        {"keystrokes", {0x00, 'R', 0x02, 0x00, 0, 127, 0xFF, 0xFF, 0x44, 'S', 0x05, 0x03, 0, 127, 0xFF, 0xFF}},
        {"drag", {0x06, 0, 0x01, 0x00, 3, 127, 0xFF, 0xFF, 0x05, 0, 0x00, 0x00, 4, 63, 0xFF, 0xFF}},
        {"scroll", {0x06, 0, 0x00, 0x00, 5, 127, 10, 10, 0x05, 0, 0x00, 0x00, 6, 127, 10, 10}},
        {"click", {0x00, 0, 0x02, 0x80, 1, 0, 20, 30, 0x01, 0, 0x00, 0x00, 2, 0, 5, 5}},
    };
    for (const auto& [name, bytes] : assignments) {
        for (const auto& [streamName, stream] : kStreams) {
            Bytes path{0xFE, 0xFD, static_cast<unsigned char>(bytes.size() / 8)};
            path.insert(path.end(), bytes.begin(), bytes.end());
            path.insert(path.end(), stream.begin(), stream.end());
            path.push_back(0xFD); // the editor in front
            path.insert(path.end(), stream.begin(), stream.end());
            Put(folder, "event_path", name + "-" + streamName, path);
        }
    }
}

void KeysetFileSeeds(const fs::path& folder) {
    NoStrings names;
    const fs::path file = folder / "keyset.qvl";
    KeysetRecord record;
    InitKeyset(record, "waveedit", 0, names);
    CopyToField(AssignmentAt(record, kMainBank, kPlay).windowTitle, "Untitled - WaveEdit");
    CKeysetFile writer;
    writer.Init(file.string(), &record);
    writer.Write();
    std::ifstream in(file, std::ios::binary);
    const Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    fs::remove(file);
    Put(folder, "keyset_file", "new-keyset", bytes);
    Put(folder, "keyset_file", "cut-short", Bytes(bytes.begin(), bytes.begin() + 5000));
    KeysetSteps steps;
    steps.Set(kMainBank, kPlay, {"Ctrl+S, \"\xE6\x97\xA5\", wait 50", "Shift up", true});
    steps.Set(kOptionBank, kWheelClockwise, {"Right", "", false});
    writer.SetRule(WindowRule{"", "Untitled", ""});
    writer.SetSteps(steps);
    const std::string withSteps = writer.Bytes();
    Put(folder, "keyset_file", "rule-and-steps", Bytes(withSteps.begin(), withSteps.end()));

    KeysetRecord second;
    InitKeyset(second, "Default", 0, names);
    const std::string collection = CollectionBytes({second, record});
    Put(folder, "keyset_collection", "two-keysets", Bytes(collection.begin(), collection.end()));
    Put(folder, "keyset_collection", "cut-short", Bytes(collection.begin(), collection.begin() + 12000));
}

// A stored registry in the keyset_registry target's input form.
void RegistrySeeds(const fs::path& folder) {
    NoStrings names;
    MemoryBlocks blocks;
    CSharedInfo shared{blocks};
    shared.Create();
    CKeysetStore store{shared, names};
    for (const char* name : {"Default", "waveedit", "notepad"}) {
        KeysetRecord record;
        InitKeyset(record, name, 0, names);
        CopyToField(AssignmentAt(record, kMainBank, kRecord).windowClass, "Edit");
        store.Add(record);
    }
    store.SetAssignmentSteps(1, kShiftBank, kStop, {"Tab, \"\xF0\x9D\x84\x9E\"", "Enter", true});
    fakes::FakeRegistry registry;
    fakes::FakeKeysetLock lock(registry.journal);
    fakes::FakeKeysetWatch watch(registry);
    CKeysetRegistry keysets(KeysetStorage{registry, lock, AsciiCase(), watch});
    SaveAllKeysets(store, keysets);

    Bytes values;
    const auto add = [&values, &registry](const std::string& path, const std::string& name, const Bytes& bytes) {
        values.push_back(static_cast<unsigned char>(path.size()));
        values.insert(values.end(), path.begin(), path.end());
        values.push_back(static_cast<unsigned char>(name.size()));
        values.insert(values.end(), name.begin(), name.end());
        const auto type = static_cast<unsigned>(*registry.TypeOf(std::string(kKeysetsKeyPath) + "\\" + path, name));
        values.push_back(static_cast<unsigned char>(bytes.size()));
        values.push_back(static_cast<unsigned char>(bytes.size() >> 8 | type << 6));
        values.insert(values.end(), bytes.begin(), bytes.end());
    };
    const std::string root = kKeysetsKeyPath;
    for (const std::string& keyset : registry.Subkeys(root)) {
        for (const std::string& value : registry.ValueNames(root + "\\" + keyset))
            add(keyset, value, *registry.Value(root + "\\" + keyset, value));
        for (const std::string& bank : registry.Subkeys(root + "\\" + keyset)) {
            const std::string path = keyset + "\\" + bank;
            for (const std::string& value : registry.ValueNames(root + "\\" + path))
                add(path, value, *registry.Value(root + "\\" + path, value));
        }
    }
    Bytes whole{0, 0, 0, 0};
    whole.insert(whole.end(), values.begin(), values.end());
    Put(folder, "keyset_registry", "stored", whole);
    Bytes failing{12, 0, 3, 2}; // calls 12 to 14 fail; the longest name is reported two short
    failing.insert(failing.end(), values.begin(), values.end());
    Put(folder, "keyset_registry", "failing-calls", failing);
}

void PerfDataSeeds(const fs::path& folder) {
    using namespace testing;
    const std::vector<char> names = WindowsCounterText();
    const Bytes block =
        BuildPerfData({MemoryObject(), ProcessObject({{u"Idle", 0}, {u"waveedit", 612}, {u"_Total", 0}})});
    Bytes seed{
        static_cast<unsigned char>(names.size()), static_cast<unsigned char>(names.size() >> 8), 0x37, 0x07, 0, 0};
    seed.insert(seed.end(), names.begin(), names.end());
    seed.insert(seed.end(), block.begin(), block.end());
    Put(folder, "perf_data", "windows", seed);
    // The whole request: the NT family with its data, the same with every query answered, and Windows 98.
    for (const auto& [name, platform, failing] : {std::tuple{"nt", 1, 0}, std::tuple{"wine", 1, 0x08},
                                                  std::tuple{"nothing", 1, 0x1F}, std::tuple{"win98", 0, 0}}) {
        Bytes request{static_cast<unsigned char>(platform), static_cast<unsigned char>(failing)};
        request.insert(request.end(), seed.begin() + 2, seed.begin() + 6);
        request.insert(request.end(), seed.begin(), seed.begin() + 2);
        request.insert(request.end(), seed.begin() + 6, seed.end());
        Put(folder, "process_list", name, request);
    }
}

void ScriptSeeds(const fs::path& folder) {
    Put(folder, "sim_script", "keys",
        Text("expect start\ntap play\npress record\nwait 100\nrelease record\n"
             "option down\ntap rew 20\noption up\nshift down\ntap ff\nshift up\n"));
    Put(folder, "sim_script", "wheel", Text("led off\nwheel cw 10 3\nwheel ccw 29 2 40 # back\nled on\n"));
    Put(folder, "sim_script", "raw", Text("send 0x80 45 80 05\nexpect 0xB3 500\nwait 250\n"));
}

} // namespace
} // namespace qvl

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    qvl::DeviceSeeds(folder);
    qvl::KeysetFileSeeds(folder);
    qvl::RegistrySeeds(folder);
    qvl::PerfDataSeeds(folder);
    qvl::ScriptSeeds(folder);
    return 0;
}
