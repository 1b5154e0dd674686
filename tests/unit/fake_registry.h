// An in-memory registry that behaves as Windows does for the four calls and journals every one of them.
#pragma once

#include "app/registry.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

inline constexpr std::int32_t kRegFileNotFound = 2;
inline constexpr std::int32_t kRegAccessDenied = 5;
inline constexpr std::int32_t kRegInvalidHandle = 6;
inline constexpr std::uint32_t kRegSz = 1;

class FakeRegistry final : public Registry {
public:
    FakeRegistry();

    // Paths below HKEY_LOCAL_MACHINE, separated by backslashes; missing keys on the way are made.
    void AddKey(const std::string& path);
    void SetValue(const std::string& keyPath, const std::string& name, std::vector<std::uint8_t> bytes,
                  std::uint32_t type = kRegSz);
    // The text's bytes, with the terminating zero byte unless told otherwise.
    void SetString(const std::string& keyPath, const std::string& name, const std::string& text, bool withZero = true);

    // A standard user's registry: asking for more than read access is refused.
    bool ReadOnlyForUser = false;

    std::int32_t OpenKeyEx(RegKey parent, const char* subKey, std::uint32_t options, std::uint32_t access,
                           RegKey* result) override;
    std::int32_t OpenKey(RegKey parent, const char* subKey, RegKey* result) override;
    std::int32_t QueryValueEx(RegKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                              std::uint32_t* size) override;
    std::int32_t CloseKey(RegKey key) override;

    // One line per call, in order, e.g.
    //   open SYSTEM\CurrentControlSet\ access=0x20019 -> 0
    //   query PortName offered=100 -> 0 size=5
    //   close SYSTEM\CurrentControlSet\Enum\USB        (the closed key's full path)
    std::vector<std::string> Journal;
    std::size_t OpenKeyCount() const { return handles_.size(); }
    std::size_t MostKeysOpenAtOnce = 0;
    std::size_t CallCount = 0;

private:
    struct Node {
        std::string path;  // full path below HKEY_LOCAL_MACHINE, as first spelled
        std::map<std::string, std::unique_ptr<Node>> children;  // by lowercase name
        std::map<std::string, std::pair<std::uint32_t, std::vector<std::uint8_t>>> values;
    };
    Node* Find(Node* from, const std::string& subPath) const;
    Node* Make(const std::string& path);
    Node* NodeOf(RegKey key) const;
    // detail follows the key's name in the journal; refused answers "access denied".
    std::int32_t Open(RegKey parent, const char* subKey, RegKey* result, const std::string& detail, bool refused);

    Node root_;
    std::map<RegKey, Node*> handles_;
    RegKey nextHandle_ = 0x1000;
};
