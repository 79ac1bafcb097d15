// The start-up load of the keysets over a registry whose keys, names, value sizes and contents come
// from the input, and whose calls fail where the input says.
//
// The input: the first failing call (2 bytes, little-endian, 0 for none) and how many fail from there
// (1 byte), how many characters short the registry reports the longest subkey name (1 byte), then values:
// the key's path below "Keysets" (a length byte and the path), the value's name (the same), its size
// (2 bytes: the low 14 bits; the top two its type: binary, text, UTF-16 text, number) and its bytes.
//
// A load gives "Default" at index 0 and every string ended within its field, and closes every key it
// opened; saving what was loaded and loading it again gives the same keysets, and doing so once more
// changes nothing; the steps beside the assignments come back the same too.
#include "ascii_text_case.h"
#include "fake_registry.h"
#include "fuzz_check.h"

#include "model/keyset_registry.h"
#include "model/memory_blocks.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace qvl {
namespace {

using fuzz::Require;

// The fake registry with calls that fail from the input's call number on.
class FailingRegistry final : public Registry {
public:
    FailingRegistry(Registry& inner, unsigned firstFailure, unsigned failures)
        : inner_(inner), first_(firstFailure), last_(firstFailure + failures) {}

    RegStatus OpenKey(Key parent, const char* path, Key& key) override {
        return Pass() ? inner_.OpenKey(parent, path, key) : Failure();
    }
    RegStatus CreateKey(Key parent, const char* path, Key& key) override {
        return Pass() ? inner_.CreateKey(parent, path, key) : Failure();
    }
    void CloseKey(Key key) override { inner_.CloseKey(key); }
    bool QueryKeyInfo(Key key, std::uint32_t& subkeyCount, std::uint32_t& longestName) override {
        if (!Pass() || !inner_.QueryKeyInfo(key, subkeyCount, longestName))
            return false;
        longestName -= std::min(longestName, shortName);
        return true;
    }
    bool EnumSubkey(Key key, std::uint32_t index, char* name, std::size_t size) override {
        return Pass() && inner_.EnumSubkey(key, index, name, size);
    }
    std::optional<std::size_t> ReadValue(Key key, const char* name, void* buffer, std::size_t size) override {
        return Pass() ? inner_.ReadValue(key, name, buffer, size) : std::nullopt;
    }
    std::optional<std::uint32_t> CountValues(Key key) override {
        return Pass() ? inner_.CountValues(key) : std::nullopt;
    }
    std::optional<std::u16string> ReadText16(Key key, const char* name, std::size_t maxUnits) override {
        return Pass() ? inner_.ReadText16(key, name, maxUnits) : std::nullopt;
    }
    std::optional<std::uint32_t> ReadDword(Key key, const char* name) override {
        return Pass() ? inner_.ReadDword(key, name) : std::nullopt;
    }
    RegStatus WriteBinary(Key key, const char* name, const void* data, std::size_t size) override {
        return Pass() ? inner_.WriteBinary(key, name, data, size) : Failure();
    }
    RegStatus WriteText(Key key, const char* name, const char* text) override {
        return Pass() ? inner_.WriteText(key, name, text) : Failure();
    }
    RegStatus WriteText16(Key key, const char* name, std::u16string_view text) override {
        return Pass() ? inner_.WriteText16(key, name, text) : Failure();
    }
    RegStatus WriteDword(Key key, const char* name, std::uint32_t value) override {
        return Pass() ? inner_.WriteDword(key, name, value) : Failure();
    }
    RegStatus DeleteValue(Key parent, const char* path, const char* name) override {
        return Pass() ? inner_.DeleteValue(parent, path, name) : Failure();
    }
    RegStatus DeleteTree(Key parent, const char* path) override {
        return Pass() ? inner_.DeleteTree(parent, path) : Failure();
    }

    std::uint32_t shortName = 0;

private:
    static RegStatus Failure() { return RegStatus::Error(5); }
    bool Pass() {
        ++calls_;
        return calls_ < first_ || calls_ >= last_;
    }
    Registry& inner_;
    unsigned calls_ = 0;
    const unsigned first_;
    const unsigned last_;
};

struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    bool More() const { return at < size; }
    unsigned Byte() { return at < size ? data[at++] : 0; }
    std::string Text(std::size_t length) {
        const std::size_t n = std::min(length, size - at);
        std::string text(reinterpret_cast<const char*>(data + at), n);
        at += n;
        return text;
    }
};

// The keysets of a store, ordered by name: a load lists them in the registry's order of subkeys.
std::vector<std::vector<unsigned char>> Keysets(const CKeysetStore& store) {
    std::vector<std::vector<unsigned char>> records;
    for (int i = 0; i < store.GetCount(); ++i) {
        const KeysetRecord record = *store.GetKeyset(i);
        const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
        records.emplace_back(bytes, bytes + sizeof record);
    }
    std::sort(records.begin(), records.end());
    return records;
}

// Names that a save keeps as they are: storable and different from each other ignoring case.
bool NamesSurviveASave(const CKeysetStore& store) {
    std::vector<std::string> folded;
    for (int i = 0; i < store.GetCount(); ++i) {
        std::string name = ReadField(store.GetKeyset(i)->header.appName);
        if (name.empty() || name.find('\\') != std::string::npos)
            return false;
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        folded.push_back(name);
    }
    std::sort(folded.begin(), folded.end());
    return std::adjacent_find(folded.begin(), folded.end()) == folded.end();
}

struct Store {
    NoStrings names;
    MemoryBlocks blocks;
    CSharedInfo shared{blocks};
    CKeysetStore keysets{shared, names};
    Store() { shared.Create(); }
};

// Save `from` into an empty registry and load that into `to`.
void SaveAndLoad(CKeysetStore& from, CKeysetStore& to) {
    fakes::FakeRegistry registry;
    fakes::FakeKeysetLock lock(registry.journal);
    fakes::FakeKeysetWatch saverWatch(registry);
    CKeysetRegistry saver(KeysetStorage{registry, lock, AsciiCase(), saverWatch});
    SaveAllKeysets(from, saver);
    fakes::FakeKeysetWatch loaderWatch(registry);
    CKeysetRegistry loader(KeysetStorage{registry, lock, AsciiCase(), loaderWatch});
    LoadOrCreate(to, loader);
    Require(registry.OpenHandles() == 0 && lock.Held() == 0, "a save and a load close every key and the lock");
}

} // namespace
} // namespace qvl

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qvl;
    Input input{data, size};
    const unsigned firstFailure = input.Byte() | input.Byte() << 8;
    const unsigned failures = input.Byte();
    const std::uint32_t shortName = input.Byte();
    fakes::FakeRegistry stored;
    while (input.More()) {
        const std::string path = input.Text(input.Byte());
        const std::string name = input.Text(input.Byte());
        const unsigned shape = input.Byte() | input.Byte() << 8;
        const std::string bytes = input.Text(shape & 0x3FFF);
        stored.SetValue(std::string(kKeysetsKeyPath) + (path.empty() ? "" : "\\" + path), name,
                        fakes::Bytes(bytes.begin(), bytes.end()), static_cast<fakes::ValueType>(shape >> 14));
    }

    FailingRegistry registry(stored, firstFailure == 0 ? ~0u : firstFailure, failures);
    registry.shortName = shortName;
    fakes::FakeKeysetLock lock(stored.journal);
    Store loaded;
    fakes::FakeKeysetWatch watch(stored);
    CKeysetRegistry keysets(KeysetStorage{registry, lock, AsciiCase(), watch});
    LoadOrCreate(loaded.keysets, keysets);
    Require(stored.OpenHandles() == 0 && lock.Held() == 0, "the load closes every key it opened and the lock");
    Require(loaded.keysets.GetCount() >= 1 && loaded.keysets.NameEquals(0, kDefaultKeysetName), "Default first");
    for (int i = 0; i < loaded.keysets.GetCount(); ++i) {
        Require(fuzz::StringsEnded(*loaded.keysets.GetKeyset(i)), "every string ends within its field");
    }

    Store once, twice;
    SaveAndLoad(loaded.keysets, once.keysets);
    if (NamesSurviveASave(loaded.keysets)) {
        Require(Keysets(once.keysets) == Keysets(loaded.keysets), "a save and a load give the same keysets");
        for (int i = 0; i < loaded.keysets.GetCount(); ++i)
            Require(once.keysets.GetSteps(once.keysets.Find(loaded.keysets.GetName(i)).value_or(-1)) ==
                        loaded.keysets.GetSteps(i),
                    "and the same steps");
    }
    SaveAndLoad(once.keysets, twice.keysets);
    Require(Keysets(twice.keysets) == Keysets(once.keysets), "a second save and load change nothing");
    return 0;
}
