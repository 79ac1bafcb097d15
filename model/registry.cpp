#include "model/registry.h"

namespace qvl {

RegKey& RegKey::operator=(RegKey&& other) noexcept {
    if (this != &other) {
        Close();
        registry_ = std::exchange(other.registry_, nullptr);
        key_ = std::exchange(other.key_, Registry::kNoKey);
    }
    return *this;
}

RegKey RegKey::Open(Registry& registry, Registry::Key parent, const char* path) {
    RegKey result;
    Registry::Key key = Registry::kNoKey;
    if (parent != Registry::kNoKey && registry.OpenKey(parent, path, key)) {
        result.registry_ = &registry;
        result.key_ = key;
    }
    return result;
}

RegKey RegKey::Create(Registry& registry, Registry::Key parent, const char* path) {
    RegKey result;
    Registry::Key key = Registry::kNoKey;
    if (parent != Registry::kNoKey && registry.CreateKey(parent, path, key)) {
        result.registry_ = &registry;
        result.key_ = key;
    }
    return result;
}

void RegKey::Close() {
    if (key_ != Registry::kNoKey && registry_ != nullptr)
        registry_->CloseKey(key_);
    key_ = Registry::kNoKey;
    registry_ = nullptr;
}

} // namespace qvl
