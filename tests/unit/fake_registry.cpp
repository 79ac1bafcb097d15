#include "fake_registry.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <cstring>

namespace qvl::fakes {

namespace {

std::vector<std::string> Split(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

} // namespace

FakeRegistry::FakeRegistry() : root_(std::make_shared<Node>()) {}

std::string FakeRegistry::Fold(const std::string& text) {
    std::string folded = text;
    for (char& c : folded)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

std::shared_ptr<FakeRegistry::Node> FakeRegistry::Find(const std::shared_ptr<Node>& from, const std::string& path,
                                                       bool create) {
    std::shared_ptr<Node> node = from;
    for (const std::string& part : Split(path)) {
        if (node == nullptr || node->deleted)
            return nullptr;
        auto found = node->subkeys.find(Fold(part));
        if (found == node->subkeys.end()) {
            if (!create)
                return nullptr;
            auto child = std::make_shared<Node>();
            child->name = part;
            child->path = node->path.empty() ? part : node->path + "\\" + part;
            journal.push_back("create " + child->path);
            changed_.push_back(Fold(child->path));
            found = node->subkeys.emplace(Fold(part), child).first;
        }
        node = found->second;
    }
    if (node != nullptr && failOpen_.count(Fold(node->path)) != 0)
        return nullptr;
    return node;
}

std::shared_ptr<FakeRegistry::Node> FakeRegistry::FindPath(const std::string& path) const {
    std::shared_ptr<Node> node = root_;
    for (const std::string& part : Split(path)) {
        auto found = node->subkeys.find(Fold(part));
        if (found == node->subkeys.end())
            return nullptr;
        node = found->second;
    }
    return node;
}

std::shared_ptr<FakeRegistry::Node> FakeRegistry::NodeOf(Key key) const {
    if (key == kCurrentUser)
        return root_;
    auto found = handles_.find(key);
    if (found == handles_.end() || found->second->deleted)
        return nullptr;
    return found->second;
}

Registry::Key FakeRegistry::NewHandle(std::shared_ptr<Node> node) {
    const Key key = nextHandle_++;
    handles_[key] = std::move(node);
    return key;
}

RegStatus FakeRegistry::OpenKey(Key parent, const char* path, Key& key) {
    const std::shared_ptr<Node> from = NodeOf(parent);
    const std::shared_ptr<Node> node = from != nullptr ? Find(from, path, false) : nullptr;
    if (node == nullptr) {
        const bool refused =
            from != nullptr && failOpen_.count(Fold(from->path.empty() ? path : from->path + "\\" + path));
        return RegStatus::Error(refused ? failCode : kNotFound);
    }
    key = NewHandle(node);
    return RegStatus();
}

RegStatus FakeRegistry::CreateKey(Key parent, const char* path, Key& key) {
    std::shared_ptr<Node> node = NodeOf(parent);
    node = node != nullptr ? Find(node, path, true) : nullptr;
    if (node == nullptr)
        return RegStatus::Error(failCode);
    key = NewHandle(node);
    return RegStatus();
}

void FakeRegistry::CloseKey(Key key) {
    handles_.erase(key);
}

bool FakeRegistry::QueryKeyInfo(Key key, std::uint32_t& subkeyCount, std::uint32_t& longestName) {
    std::shared_ptr<Node> node = NodeOf(key);
    if (node == nullptr)
        return false;
    subkeyCount = static_cast<std::uint32_t>(node->subkeys.size());
    longestName = 0;
    for (const auto& entry : node->subkeys)
        longestName = std::max(longestName, static_cast<std::uint32_t>(entry.second->name.size()));
    return true;
}

bool FakeRegistry::EnumSubkey(Key key, std::uint32_t index, char* name, std::size_t size) {
    std::shared_ptr<Node> node = NodeOf(key);
    if (node == nullptr || index >= node->subkeys.size())
        return false;
    auto entry = node->subkeys.begin();
    std::advance(entry, index);
    const std::string& text = entry->second->name;
    if (text.size() + 1 > size)
        return false;
    std::memcpy(name, text.c_str(), text.size() + 1);
    return true;
}

std::optional<std::size_t> FakeRegistry::ReadValue(Key key, const char* name, void* buffer, std::size_t size) {
    ++reads;
    std::shared_ptr<Node> node = NodeOf(key);
    if (node == nullptr)
        return std::nullopt;
    auto found = node->values.find(Fold(name));
    if (found == node->values.end())
        return std::nullopt;
    const Bytes& bytes = found->second.second;
    if (bytes.size() <= size && !bytes.empty())
        std::memcpy(buffer, bytes.data(), bytes.size());
    return bytes.size();
}

RegStatus FakeRegistry::WriteBinary(Key key, const char* name, const void* data, std::size_t size) {
    std::shared_ptr<Node> node = NodeOf(key);
    if (node == nullptr || failWrite_.count(Fold(name)) != 0)
        return RegStatus::Error(failCode);
    const auto* bytes = static_cast<const unsigned char*>(data);
    auto& value = node->values[Fold(name)];
    if (value.first.empty())
        value.first = name;
    value.second.assign(bytes, bytes + size);
    node->types[Fold(name)] = ValueType::kBinary;
    journal.push_back("write " + node->path + ":" + name);
    changed_.push_back(Fold(node->path));
    return RegStatus();
}

RegStatus FakeRegistry::WriteText(Key key, const char* name, const char* text) {
    std::shared_ptr<Node> node = NodeOf(key);
    if (node == nullptr || failWrite_.count(Fold(name)) != 0)
        return RegStatus::Error(failCode);
    auto& value = node->values[Fold(name)];
    if (value.first.empty())
        value.first = name;
    value.second.assign(text, text + std::strlen(text) + 1);
    journal.push_back("write text " + node->path + ":" + name);
    changed_.push_back(Fold(node->path));
    node->types[Fold(name)] = ValueType::kText;
    return RegStatus();
}

RegStatus FakeRegistry::WriteDword(Key key, const char* name, std::uint32_t value) {
    const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    return Typed(WriteBinary(key, name, bytes, sizeof bytes), key, name, ValueType::kDword, "write dword ");
}

RegStatus FakeRegistry::WriteText16(Key key, const char* name, std::u16string_view text) {
    Bytes bytes;
    for (const char16_t unit : std::u16string(text) + u'\0')
        bytes.insert(bytes.end(), {static_cast<unsigned char>(unit & 0xFF), static_cast<unsigned char>(unit >> 8)});
    return Typed(WriteBinary(key, name, bytes.data(), bytes.size()), key, name, ValueType::kWideText, "write text ");
}

RegStatus FakeRegistry::Typed(RegStatus status, Key key, const char* name, ValueType type, const char* journalled) {
    if (status) {
        NodeOf(key)->types[Fold(name)] = type;
        journal.back() = journalled + NodeOf(key)->path + ":" + name;
    }
    return status;
}

const Bytes* FakeRegistry::Find(Key key, const char* name, ValueType& type) {
    ++reads;
    std::shared_ptr<Node> node = NodeOf(key);
    if (node == nullptr || node->values.count(Fold(name)) == 0)
        return nullptr;
    type = node->types.count(Fold(name)) != 0 ? node->types[Fold(name)] : ValueType::kBinary;
    return &node->values[Fold(name)].second;
}

std::optional<std::uint32_t> FakeRegistry::CountValues(Key key) {
    std::shared_ptr<Node> node = NodeOf(key);
    return node != nullptr ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(node->values.size()))
                           : std::nullopt;
}

std::optional<std::u16string> FakeRegistry::ReadText16(Key key, const char* name, std::size_t maxUnits) {
    ValueType type = ValueType::kBinary;
    const Bytes* bytes = Find(key, name, type);
    if (bytes == nullptr || (type != ValueType::kText && type != ValueType::kWideText))
        return std::nullopt;
    std::u16string text;
    const std::size_t width = type == ValueType::kText ? 1 : 2;
    for (std::size_t at = 0; at + width <= bytes->size(); at += width)
        text += static_cast<char16_t>((*bytes)[at] | (width == 2 ? (*bytes)[at + 1] << 8 : 0));
    // The real registry answers a value longer than the room given without its text.
    text = text.size() <= maxUnits + 1 ? text.substr(0, text.find(u'\0')) : text;
    return text.size() <= maxUnits ? std::optional(text) : std::nullopt;
}

std::optional<std::uint32_t> FakeRegistry::ReadDword(Key key, const char* name) {
    ValueType type = ValueType::kBinary;
    const Bytes* b = Find(key, name, type);
    if (b == nullptr || type != ValueType::kDword || b->size() != 4)
        return std::nullopt;
    return static_cast<std::uint32_t>((*b)[0] | (*b)[1] << 8 | (*b)[2] << 16 |
                                      static_cast<std::uint32_t>((*b)[3]) << 24);
}

RegStatus FakeRegistry::DeleteValue(Key parent, const char* path, const char* name) {
    std::shared_ptr<Node> node = NodeOf(parent);
    if (node == nullptr)
        return RegStatus::Error(failCode);
    const std::string full = node->path.empty() ? path : node->path + "\\" + path;
    if (failOpen_.count(Fold(full)) != 0)
        return RegStatus::Error(failCode);
    node = Find(node, path, false);
    if (node == nullptr)
        return RegStatus();
    if (node->values.erase(Fold(name)) != 0) {
        journal.push_back("delete " + node->path + ":" + name);
        changed_.push_back(Fold(node->path));
    }
    return RegStatus();
}

RegStatus FakeRegistry::DeleteTree(Key parent, const char* path) {
    std::shared_ptr<Node> node = NodeOf(parent);
    if (node == nullptr)
        return RegStatus::Error(failCode);
    std::vector<std::string> parts = Split(path);
    if (parts.empty())
        return RegStatus::Error(failCode);
    const std::string last = parts.back();
    parts.pop_back();
    std::string parentPath;
    for (const std::string& part : parts)
        parentPath += part + "\\";
    std::shared_ptr<Node> owner = parentPath.empty() ? node : Find(node, parentPath, false);
    if (owner == nullptr)
        return RegStatus::Error(failCode);
    auto found = owner->subkeys.find(Fold(last));
    if (found == owner->subkeys.end())
        return RegStatus::Error(failCode);
    journal.push_back("delete " + found->second->path);
    changed_.push_back(Fold(found->second->path));
    std::vector<std::shared_ptr<Node>> pending{found->second};
    while (!pending.empty()) {
        std::shared_ptr<Node> doomed = pending.back();
        pending.pop_back();
        doomed->deleted = true;
        for (const auto& entry : doomed->subkeys)
            pending.push_back(entry.second);
    }
    owner->subkeys.erase(found);
    return RegStatus();
}

bool FakeRegistry::KeyExists(const std::string& path) const {
    return FindPath(path) != nullptr;
}

std::vector<std::string> FakeRegistry::Subkeys(const std::string& path) const {
    std::vector<std::string> names;
    if (std::shared_ptr<Node> node = FindPath(path))
        for (const auto& entry : node->subkeys)
            names.push_back(entry.second->name);
    return names;
}

std::vector<std::string> FakeRegistry::ValueNames(const std::string& path) const {
    std::vector<std::string> names;
    if (std::shared_ptr<Node> node = FindPath(path))
        for (const auto& entry : node->values)
            names.push_back(entry.second.first);
    return names;
}

std::optional<Bytes> FakeRegistry::Value(const std::string& path, const std::string& name) const {
    std::shared_ptr<Node> node = FindPath(path);
    if (node == nullptr)
        return std::nullopt;
    auto found = node->values.find(Fold(name));
    if (found == node->values.end())
        return std::nullopt;
    return found->second.second;
}

void FakeRegistry::SetValue(const std::string& path, const std::string& name, const Bytes& bytes, ValueType type) {
    Key key = kNoKey;
    if (CreateKey(kCurrentUser, path.c_str(), key)) {
        Typed(WriteBinary(key, name.c_str(), bytes.data(), bytes.size()), key, name.c_str(), type, "write ");
        CloseKey(key);
    }
}

std::optional<ValueType> FakeRegistry::TypeOf(const std::string& path, const std::string& name) const {
    std::shared_ptr<Node> node = FindPath(path);
    if (node == nullptr || node->values.count(Fold(name)) == 0)
        return std::nullopt;
    return node->types.count(Fold(name)) != 0 ? node->types.at(Fold(name)) : ValueType::kBinary;
}

void FakeRegistry::RemoveValue(const std::string& path, const std::string& name) {
    if (std::shared_ptr<Node> node = FindPath(path)) {
        node->values.erase(Fold(name));
        changed_.push_back(Fold(path));
    }
}

bool FakeRegistry::ChangedUnder(const std::string& path, std::size_t since) const {
    const std::string folded = Fold(path);
    for (std::size_t i = since; i < changed_.size(); ++i)
        if (changed_[i] == folded || changed_[i].rfind(folded + "\\", 0) == 0 ||
            folded.rfind(changed_[i] + "\\", 0) == 0) // a key above it, deleted (or made)
            return true;
    return false;
}

void FakeRegistry::RemoveKey(const std::string& path) {
    DeleteTree(kCurrentUser, path.c_str());
}

} // namespace qvl::fakes
