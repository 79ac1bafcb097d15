// The registry port over the system's registry; kCurrentUser is HKEY_CURRENT_USER.
#pragma once

#include "model/registry.h"

namespace qvl {

class Win32Registry final : public Registry {
public:
    RegStatus OpenKey(Key parent, const char* path, Key& key) override;
    RegStatus CreateKey(Key parent, const char* path, Key& key) override;
    void CloseKey(Key key) override;
    bool QueryKeyInfo(Key key, std::uint32_t& subkeyCount, std::uint32_t& longestName) override;
    bool EnumSubkey(Key key, std::uint32_t index, char* name, std::size_t size) override;
    std::optional<std::size_t> ReadValue(Key key, const char* name, void* buffer, std::size_t size) override;
    std::optional<std::uint32_t> CountValues(Key key) override;
    std::optional<std::u16string> ReadText16(Key key, const char* name, std::size_t maxUnits) override;
    std::optional<std::uint32_t> ReadDword(Key key, const char* name) override;
    RegStatus WriteBinary(Key key, const char* name, const void* data, std::size_t size) override;
    RegStatus WriteText(Key key, const char* name, const char* text) override;
    RegStatus WriteText16(Key key, const char* name, std::u16string_view text) override;
    RegStatus WriteDword(Key key, const char* name, std::uint32_t value) override;
    RegStatus DeleteValue(Key parent, const char* path, const char* name) override;
    RegStatus DeleteTree(Key parent, const char* path) override;
};

} // namespace qvl
