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

const FakeRegistry::StoredValue* FakeRegistry::FindValue(Key key, const char* name) {
    ++reads;
    std::shared_ptr<Node> node = NodeOf(key);
    if (node == nullptr)
        return nullptr;
    auto found = node->values.find(Fold(name));
    return found != node->values.end() ? &found->second : nullptr;
}

std::optional<std::size_t> FakeRegistry::ReadValue(Key key, const char* name, void* buffer, std::size_t size) {
    const StoredValue* value = FindValue(key, name);
    if (value == nullptr)
        return std::nullopt;
    if (value->bytes.size() <= size && !value->bytes.empty())
        std::memcpy(buffer, value->bytes.data(), value->bytes.size());
    return value->bytes.size();
}

std::optional<std::uint32_t> FakeRegistry::CountValues(Key key) {
    std::shared_ptr<Node> node = NodeOf(key);
    if (node == nullptr)
        return std::nullopt;
    return static_cast<std::uint32_t>(node->values.size());
}

std::optional<std::u16string> FakeRegistry::ReadText16(Key key, const char* name, std::size_t maxUnits) {
    const StoredValue* value = FindValue(key, name);
    if (value == nullptr || (value->type != ValueType::kText && value->type != ValueType::kWideText))
        return std::nullopt;
    std::u16string text;
    if (value->type == ValueType::kText) {
        for (const unsigned char byte : value->bytes)
            text += static_cast<char16_t>(byte);
    } else {
        for (std::size_t at = 0; at + 1 < value->bytes.size(); at += 2)
            text += static_cast<char16_t>(value->bytes[at] | value->bytes[at + 1] << 8);
    }
    // The real registry answers a value too long for the room given without its text.
    if (text.size() > maxUnits + 1)
        return std::nullopt;
    text = text.substr(0, text.find(u'\0'));
    if (text.size() > maxUnits)
        return std::nullopt;
    return text;
}

std::optional<std::uint32_t> FakeRegistry::ReadDword(Key key, const char* name) {
    const StoredValue* value = FindValue(key, name);
    if (value == nullptr || value->type != ValueType::kDword || value->bytes.size() != 4)
        return std::nullopt;
    const Bytes& b = value->bytes;
    return static_cast<std::uint32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24);
}

RegStatus FakeRegistry::Write(Key key, const char* name, ValueType type, Bytes bytes, const char* what) {
    std::shared_ptr<Node> node = NodeOf(key);
    if (node == nullptr || failWrite_.count(Fold(name)) != 0)
        return RegStatus::Error(failCode);
    StoredValue& value = node->values[Fold(name)];
    if (value.name.empty())
        value.name = name;
    value.type = type;
    value.bytes = std::move(bytes);
    journal.push_back(std::string(what) + node->path + ":" + name);
    changed_.push_back(Fold(node->path));
    return RegStatus();
}

RegStatus FakeRegistry::WriteBinary(Key key, const char* name, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    return Write(key, name, ValueType::kBinary, Bytes(bytes, bytes + size), "write ");
}

RegStatus FakeRegistry::WriteText(Key key, const char* name, const char* text) {
    return Write(key, name, ValueType::kText, Bytes(text, text + std::strlen(text) + 1), "write text ");
}

RegStatus FakeRegistry::WriteText16(Key key, const char* name, std::u16string_view text) {
    Bytes bytes;
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
        bytes.push_back(static_cast<unsigned char>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return Write(key, name, ValueType::kWideText, std::move(bytes), "write text ");
}

RegStatus FakeRegistry::WriteDword(Key key, const char* name, std::uint32_t value) {
    Bytes bytes(4);
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
    return Write(key, name, ValueType::kDword, std::move(bytes), "write dword ");
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
            names.push_back(entry.second.name);
    return names;
}

std::optional<Bytes> FakeRegistry::Value(const std::string& path, const std::string& name) const {
    std::shared_ptr<Node> node = FindPath(path);
    if (node == nullptr)
        return std::nullopt;
    auto found = node->values.find(Fold(name));
    if (found == node->values.end())
        return std::nullopt;
    return found->second.bytes;
}

std::optional<ValueType> FakeRegistry::TypeOf(const std::string& path, const std::string& name) const {
    std::shared_ptr<Node> node = FindPath(path);
    if (node == nullptr || node->values.count(Fold(name)) == 0)
        return std::nullopt;
    return node->values.at(Fold(name)).type;
}

void FakeRegistry::SetValue(const std::string& path, const std::string& name, const Bytes& bytes, ValueType type) {
    Key key = kNoKey;
    if (CreateKey(kCurrentUser, path.c_str(), key)) {
        Write(key, name.c_str(), type, bytes, "write ");
        CloseKey(key);
    }
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
