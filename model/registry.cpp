#include "model/registry.h"

namespace qvl {

RegKey& RegKey::operator=(RegKey&& other) noexcept {
    if (this != &other) {
        Close();
        registry_ = std::exchange(other.registry_, nullptr);
        key_ = std::exchange(other.key_, Registry::kNoKey);
        status_ = other.status_;
    }
    return *this;
}

namespace {

// A key under no key fails as its parent did, which the caller checked no further.
constexpr long kNoParent = 6; // the system's "The handle is invalid"

} // namespace

RegKey RegKey::Open(Registry& registry, Registry::Key parent, const char* path) {
    RegKey result;
    Registry::Key key = Registry::kNoKey;
    result.status_ = parent != Registry::kNoKey ? registry.OpenKey(parent, path, key) : RegStatus::Error(kNoParent);
    if (result.status_) {
        result.registry_ = &registry;
        result.key_ = key;
    }
    return result;
}

RegKey RegKey::Create(Registry& registry, Registry::Key parent, const char* path) {
    RegKey result;
    Registry::Key key = Registry::kNoKey;
    result.status_ = parent != Registry::kNoKey ? registry.CreateKey(parent, path, key) : RegStatus::Error(kNoParent);
    if (result.status_) {
        result.registry_ = &registry;
        result.key_ = key;
    }
    return result;
}

RegKey RegKey::Open(Registry& registry, const RegKey& parent, const char* path) {
    if (!parent)
        return Failed(parent.status_);
    return Open(registry, parent.Get(), path);
}

RegKey RegKey::Create(Registry& registry, const RegKey& parent, const char* path) {
    if (!parent)
        return Failed(parent.status_);
    return Create(registry, parent.Get(), path);
}

RegKey RegKey::Failed(RegStatus status) {
    RegKey result;
    result.status_ = status;
    return result;
}

void RegKey::Close() {
    if (key_ != Registry::kNoKey && registry_ != nullptr)
        registry_->CloseKey(key_);
    key_ = Registry::kNoKey;
    registry_ = nullptr;
}

bool SubkeyNames(Registry& registry, Registry::Key key, std::vector<std::string>& names) {
    names.clear();
    std::uint32_t count = 0;
    std::uint32_t longestName = 0;
    if (!registry.QueryKeyInfo(key, count, longestName))
        return false;
    std::vector<char> name(static_cast<std::size_t>(longestName) + 1);
    for (std::uint32_t index = 0; index < count; ++index)
        if (registry.EnumSubkey(key, index, name.data(), name.size()))
            names.emplace_back(name.data());
    return names.size() == count;
}

} // namespace qvl
