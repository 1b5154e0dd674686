// An in-memory registry that behaves as Windows does for the four calls and journals every one of them.
#include "fake_registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <sstream>

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::vector<std::string> Split(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(path);
    while (std::getline(in, part, '\\')) parts.push_back(part);
    return parts;
}

std::string Hex(std::uint32_t value) {
    std::ostringstream out;
    out << "0x" << std::hex << value;
    return out.str();
}

}  // namespace

FakeRegistry::FakeRegistry() { handles_[kLocalMachine] = &root_; }

FakeRegistry::Node* FakeRegistry::Find(Node* from, const std::string& subPath) const {
    std::vector<std::string> parts = Split(subPath);
    // Windows accepts one trailing backslash; an empty name anywhere else names no key.
    if (!parts.empty() && parts.back().empty() && subPath.back() == '\\') parts.pop_back();
    Node* node = from;
    for (const std::string& part : parts) {
        if (part.empty()) return nullptr;
        const auto child = node->children.find(Lower(part));
        if (child == node->children.end()) return nullptr;
        node = child->second.get();
    }
    return node;
}

FakeRegistry::Node* FakeRegistry::Make(const std::string& path) {
    Node* node = &root_;
    for (const std::string& part : Split(path)) {
        if (part.empty()) continue;
        auto& child = node->children[Lower(part)];
        if (!child) {
            child = std::make_unique<Node>();
            child->path = node->path.empty() ? part : node->path + "\\" + part;
        }
        node = child.get();
    }
    return node;
}

FakeRegistry::Node* FakeRegistry::NodeOf(RegKey key) const {
    const auto found = handles_.find(key);
    return found == handles_.end() ? nullptr : found->second;
}

void FakeRegistry::AddKey(const std::string& path) { Make(path); }

void FakeRegistry::SetValue(const std::string& keyPath, const std::string& name, std::vector<std::uint8_t> bytes,
                            std::uint32_t type) {
    Make(keyPath)->values[Lower(name)] = {type, std::move(bytes)};
}

void FakeRegistry::SetString(const std::string& keyPath, const std::string& name, const std::string& text,
                             bool withZero) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    if (withZero) bytes.push_back(0);
    SetValue(keyPath, name, std::move(bytes));
}

std::int32_t FakeRegistry::Open(RegKey parent, const char* subKey, RegKey* result, const std::string& detail,
                                bool refused) {
    ++CallCount;
    const std::string name = subKey ? subKey : "";
    Node* from = NodeOf(parent);
    Node* node = from ? Find(from, name) : nullptr;
    std::int32_t status = kRegSuccess;
    if (refused)
        status = kRegAccessDenied;
    else if (from == nullptr)
        status = kRegInvalidHandle;
    else if (node == nullptr)
        status = kRegFileNotFound;
    if (status == kRegSuccess) {
        *result = nextHandle_++;
        handles_[*result] = node;
        MostKeysOpenAtOnce = std::max(MostKeysOpenAtOnce, OpenKeyCount() - 1);  // HKLM is always there
    }
    Journal.push_back("open " + name + detail + " -> " + std::to_string(status));
    return status;
}

std::int32_t FakeRegistry::OpenKeyEx(RegKey parent, const char* subKey, std::uint32_t, std::uint32_t access,
                                     RegKey* result) {
    const bool refused = ReadOnlyForUser && (access & ~kKeyRead) != 0;
    return Open(parent, subKey, result, " access=" + Hex(access), refused);
}

std::int32_t FakeRegistry::OpenKey(RegKey parent, const char* subKey, RegKey* result) {
    return Open(parent, subKey, result, "", false);
}

std::int32_t FakeRegistry::QueryValueEx(RegKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                        std::uint32_t* size) {
    ++CallCount;
    const std::string name = valueName ? valueName : "";
    const std::uint32_t offered = *size;
    std::int32_t status = kRegSuccess;
    Node* node = NodeOf(key);
    if (node == nullptr || key == kLocalMachine) {
        status = kRegInvalidHandle;
    } else if (const auto value = node->values.find(Lower(name)); value == node->values.end()) {
        status = kRegFileNotFound;
    } else {
        const auto& [valueType, bytes] = value->second;
        *type = valueType;
        const auto needed = static_cast<std::uint32_t>(bytes.size());
        if (data != nullptr && needed > offered)
            status = kRegMoreData;
        else if (data != nullptr && !bytes.empty())
            std::memcpy(data, bytes.data(), bytes.size());
        *size = needed;
    }
    Journal.push_back("query " + name + " offered=" + std::to_string(offered) + " -> " + std::to_string(status) +
                      (status == kRegSuccess || status == kRegMoreData ? " size=" + std::to_string(*size) : ""));
    return status;
}

std::int32_t FakeRegistry::CloseKey(RegKey key) {
    ++CallCount;
    Node* node = key == kLocalMachine ? nullptr : NodeOf(key);
    if (node == nullptr) {
        Journal.push_back("close <invalid handle> -> " + std::to_string(kRegInvalidHandle));
        return kRegInvalidHandle;
    }
    handles_.erase(key);
    Journal.push_back("close " + node->path);
    return kRegSuccess;
}
