// The registry as the keyset store and the autostart entry need it: open and create keys, list
// subkeys, count values, read and write binary values, write a text value and a number, read and write
// Unicode text, read a number, delete a value, delete a key with everything under it. Key names ignore case, as in the
// system's registry (TextCase::Fold says how); the store's algorithms are written against this port so that tests can
// drive them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qvl {

// The outcome of one registry call: it worked, or the system's error code of why not.
class RegStatus {
public:
    RegStatus() = default; // it worked
    static RegStatus Error(long code) { return RegStatus(code != 0 ? code : kNoCode); }
    explicit operator bool() const { return code_ == 0; }
    long Code() const { return code_; }

private:
    static constexpr long kNoCode = -1; // a failure the system gave no code for
    explicit RegStatus(long code) : code_(code) {}
    long code_ = 0;
};

class Registry {
public:
    // An open key. 0 is no key; kCurrentUser stands for the current user's root.
    using Key = std::uintptr_t;
    static constexpr Key kNoKey = 0;
    static constexpr Key kCurrentUser = 1;

    Registry() = default;
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;
    virtual ~Registry() = default;

    // Open the existing key `path` (one or more names joined by backslashes) for reading and writing.
    virtual RegStatus OpenKey(Key parent, const char* path, Key& key) = 0;
    // Open `path`, creating whatever part of it is missing.
    virtual RegStatus CreateKey(Key parent, const char* path, Key& key) = 0;
    virtual void CloseKey(Key key) = 0;
    // The number of direct subkeys and the length of the longest subkey name, without its NUL.
    virtual bool QueryKeyInfo(Key key, std::uint32_t& subkeyCount, std::uint32_t& longestName) = 0;
    // The name of subkey `index` with its NUL, when it fits `size`.
    virtual bool EnumSubkey(Key key, std::uint32_t index, char* name, std::size_t size) = 0;
    // The stored size of value `name`, or nothing when it is missing or cannot be read. Its bytes are
    // copied into `buffer` only when they fit `size`.
    virtual std::optional<std::size_t> ReadValue(Key key, const char* name, void* buffer, std::size_t size) = 0;
    // The number of values `key` holds; nothing when that cannot be asked.
    virtual std::optional<std::uint32_t> CountValues(Key key) = 0;
    // The UTF-16 text of value `name`, up to its first NUL, read with the wide functions so that every
    // character survives. Nothing when it is missing, is not text (REG_SZ), or is longer than
    // `maxUnits` UTF-16 units: a value is never read beyond that.
    virtual std::optional<std::u16string> ReadText16(Key key, const char* name, std::size_t maxUnits) = 0;
    // The number in value `name`; nothing when it is missing or not a REG_DWORD.
    virtual std::optional<std::uint32_t> ReadDword(Key key, const char* name) = 0;
    // Write value `name` as binary data.
    virtual RegStatus WriteBinary(Key key, const char* name, const void* data, std::size_t size) = 0;
    // Write value `name` as text (REG_SZ), stored with its terminating NUL.
    virtual RegStatus WriteText(Key key, const char* name, const char* text) = 0;
    // Write value `name` as UTF-16 text (REG_SZ through the wide functions), with its terminating NUL.
    virtual RegStatus WriteText16(Key key, const char* name, std::u16string_view text) = 0;
    // Write value `name` as a 32-bit number (REG_DWORD).
    virtual RegStatus WriteDword(Key key, const char* name, std::uint32_t value) = 0;
    // Delete value `name` of the key `path` under `parent`; a missing key or value is no error.
    virtual RegStatus DeleteValue(Key parent, const char* path, const char* name) = 0;
    // Delete the key `path` under `parent` and everything below it.
    virtual RegStatus DeleteTree(Key parent, const char* path) = 0;
};

// The names of `key`'s subkeys, in the registry's own order; true when every one could be listed.
bool SubkeyNames(Registry& registry, Registry::Key key, std::vector<std::string>& names);

// An open registry key, closed with its owner.
class RegKey {
public:
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    RegKey(RegKey&& other) noexcept { *this = std::move(other); }
    RegKey& operator=(RegKey&& other) noexcept;
    ~RegKey() { Close(); }

    static RegKey Open(Registry& registry, Registry::Key parent, const char* path);
    static RegKey Create(Registry& registry, Registry::Key parent, const char* path);
    // Under a key that itself could not be opened, the child fails with the parent's status.
    static RegKey Open(Registry& registry, const RegKey& parent, const char* path);
    static RegKey Create(Registry& registry, const RegKey& parent, const char* path);

    explicit operator bool() const { return key_ != Registry::kNoKey; }
    Registry::Key Get() const { return key_; }
    // Why the key could not be opened or made.
    RegStatus Status() const { return status_; }
    void Close();

private:
    static RegKey Failed(RegStatus status);

    Registry* registry_ = nullptr;
    Registry::Key key_ = Registry::kNoKey;
    RegStatus status_;
};

} // namespace qvl
