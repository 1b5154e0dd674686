// The user's choice of plug-in notices, kept per user under HKEY_CURRENT_USER.
#include "app/notice_choice.h"

#include <cstring>

namespace {

constexpr const char* kChoiceKey = "Software\\Talvenor\\BuscadorVIRK";
constexpr const char* kChoiceValue = "Avisos";
constexpr std::uint32_t kRegDword = 4;  // REG_DWORD, little-endian as every Windows the programs run on

bool WantedIn(const std::optional<UserRegistry::Value>& value) {
    std::uint32_t number = 0;
    if (!value || value->Type != kRegDword || value->Bytes.size() != sizeof number) return true;
    std::memcpy(&number, value->Bytes.data(), sizeof number);
    return number != 0;
}

}  // namespace

NoticeChoice::NoticeChoice(UserRegistry& registry)
    : registry_(registry), wanted_(WantedIn(registry.Read(kChoiceKey, kChoiceValue))) {}

void NoticeChoice::Toggle() {
    wanted_ = !wanted_;
    registry_.WriteNumber(kChoiceKey, kChoiceValue, wanted_ ? 1 : 0);
}
