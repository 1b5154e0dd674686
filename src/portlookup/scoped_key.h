// An open registry key that closes itself, so every path out of a lookup closes its keys innermost first.
#pragma once

#include "app/registry.h"

class ScopedKey {
public:
    ScopedKey(Registry& registry, RegKey key) : registry_(registry), key_(key) {}
    ~ScopedKey() { registry_.CloseKey(key_); }
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;

private:
    Registry& registry_;
    RegKey key_;
};
