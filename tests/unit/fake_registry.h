// A registry in memory that behaves like the real one where the keyset store can tell: key and value
// names ignore case (a key keeps the spelling it was created with), subkeys enumerate in name order,
// a deleted key's open handles stop working, a value keeps its type (text written narrow or wide reads
// back wide, a number only as a number). It records every change in `journal` and can be told to
// fail opens of a key or writes of a value.
#pragma once

#include "model/keyset_lock.h"
#include "model/keyset_watch.h"
#include "model/registry.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace qvl::fakes {

using Bytes = std::vector<unsigned char>;
enum class ValueType { kBinary, kText, kWideText, kDword };

class FakeRegistry final : public Registry {
public:
    FakeRegistry();

    RegStatus OpenKey(Key parent, const char* path, Key& key) override;
    RegStatus CreateKey(Key parent, const char* path, Key& key) override;
    void CloseKey(Key key) override;
    bool QueryKeyInfo(Key key, std::uint32_t& subkeyCount, std::uint32_t& longestName) override;
    bool EnumSubkey(Key key, std::uint32_t index, char* name, std::size_t size) override;
    std::optional<std::size_t> ReadValue(Key key, const char* name, void* buffer, std::size_t size) override;
    RegStatus WriteBinary(Key key, const char* name, const void* data, std::size_t size) override;
    RegStatus WriteText(Key key, const char* name, const char* text) override;
    std::optional<std::uint32_t> CountValues(Key key) override;
    std::optional<std::u16string> ReadText16(Key key, const char* name, std::size_t maxUnits) override;
    std::optional<std::uint32_t> ReadDword(Key key, const char* name) override;
    RegStatus WriteText16(Key key, const char* name, std::u16string_view text) override;
    RegStatus WriteDword(Key key, const char* name, std::uint32_t value) override;
    RegStatus DeleteValue(Key parent, const char* path, const char* name) override;
    RegStatus DeleteTree(Key parent, const char* path) override;

    // Direct access for tests, by full path below the current user's root.
    bool KeyExists(const std::string& path) const;
    std::vector<std::string> Subkeys(const std::string& path) const; // as enumerated, with their spelling
    std::vector<std::string> ValueNames(const std::string& path) const;
    std::optional<Bytes> Value(const std::string& path, const std::string& name) const;
    // Creates the key.
    void SetValue(const std::string& path, const std::string& name, const Bytes& bytes,
                  ValueType type = ValueType::kBinary);
    std::optional<ValueType> TypeOf(const std::string& path, const std::string& name) const;
    void RemoveValue(const std::string& path, const std::string& name);
    void RemoveKey(const std::string& path);

    // Opens of a key (and creates, and deletes of its values) or writes of a value fail with `failCode`.
    void FailOpen(const std::string& path) { failOpen_.insert(Fold(path)); }
    void FailWrite(const std::string& valueName) { failWrite_.insert(Fold(valueName)); }
    void FailNothing() {
        failOpen_.clear();
        failWrite_.clear();
    }
    long failCode = 5;                   // the system's "Access is denied"
    static constexpr long kNotFound = 2; // what opening a key that is not there gives
    std::size_t OpenHandles() const { return handles_.size(); }
    // Every change so far, and whether one of those after the first `since` was under `path`.
    std::size_t ChangeCount() const { return changed_.size(); }
    bool ChangedUnder(const std::string& path, std::size_t since) const;

    // "create <path>", "write <path>:<value>", "write text <path>:<value>" (narrow or wide), "write dword
    // <path>:<value>", "delete <path>", "delete <path>:<value>"
    std::vector<std::string> journal;
    std::size_t reads = 0; // values read, found or not

private:
    struct Node {
        std::string name;
        std::string path;
        bool deleted = false;
        std::map<std::string, std::shared_ptr<Node>> subkeys; // by folded name
        std::map<std::string, std::pair<std::string, Bytes>> values;
        std::map<std::string, ValueType> types; // of the values written, by folded name
    };
    // The stored bytes and type of value `name`, counted as a read; null when it is missing.
    const Bytes* Find(Key key, const char* name, ValueType& type);
    RegStatus Typed(RegStatus status, Key key, const char* name, ValueType type, const char* journalled);
    static std::string Fold(const std::string& text);
    std::shared_ptr<Node> Find(const std::shared_ptr<Node>& from, const std::string& path, bool create);
    std::shared_ptr<Node> FindPath(const std::string& path) const;
    std::shared_ptr<Node> NodeOf(Key key) const;
    Key NewHandle(std::shared_ptr<Node> node);

    std::shared_ptr<Node> root_;
    std::map<Key, std::shared_ptr<Node>> handles_;
    Key nextHandle_ = 100;
    std::set<std::string> failOpen_;
    std::set<std::string> failWrite_;
    std::vector<std::string> changed_; // the folded path of every key made, written or deleted, in order
};

// One program's watch on a key of the registry in memory: it sees every change under the key since it
// was armed, whoever made it, as the system's notification does. It has no thread: Tell() does what
// the system's watch does on its own once something was written.
class FakeKeysetWatch final : public KeysetWatch {
public:
    explicit FakeKeysetWatch(const FakeRegistry& registry) : registry_(registry) {}
    void Arm(const std::string& path) override {
        path_ = path;
        since_ = registry_.ChangeCount();
        armed_ = true;
    }
    bool Changed() override { return !armed_ || registry_.ChangedUnder(path_, since_); }
    void OnWritten(std::function<void()> written) override { written_ = std::move(written); }
    void Tell() {
        if (armed_ && Changed() && written_)
            written_();
    }

private:
    const FakeRegistry& registry_;
    std::function<void()> written_;
    std::string path_;
    std::size_t since_ = 0;
    bool armed_ = false;
};

// The lock between the two programs; it notes each acquire and release in a journal (the registry's,
// to see what ran inside it) and can be told that the other program holds it.
class FakeKeysetLock final : public KeysetLock {
public:
    explicit FakeKeysetLock(std::vector<std::string>& journal) : journal_(journal) {}
    bool Acquire() override {
        journal_.push_back(heldElsewhere ? "lock timed out" : "lock");
        held_ += heldElsewhere ? 0 : 1;
        return !heldElsewhere;
    }
    void Release() override {
        journal_.push_back("unlock");
        --held_;
    }
    int Held() const { return held_; }
    bool heldElsewhere = false;

private:
    std::vector<std::string>& journal_;
    int held_ = 0;
};

} // namespace qvl::fakes
