// A plug-in notice's text from what changed since the scan before, and the user's choice of notices.
#include "app/notice_choice.h"
#include "scan/notice_text.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace std::string_literals;

namespace {

constexpr ChangeKind In = ChangeKind::Conectado, Out = ChangeKind::Desconectado;

// An adapter of 1a2b/c3d4 read whole, on COM `port` (0 or -1: none known), come or gone; why it has no port, or the
// problem of the one it has.
AdapterChange C(ChangeKind what, std::u16string serial, std::int16_t port = -1, bool portChange = false,
                std::optional<NoPortReason> why = {}, std::optional<std::uint32_t> problem = {}) {
    return {what, {ScannedDevice::Identity{0x1A2B, 0xC3D4, std::move(serial)}, port, true, std::nullopt, problem, why}, portChange};
}

// Bytes of a double-byte code page, as the 98 family's fields count them: two for each character past ASCII.
std::size_t DoubleByte(std::u16string_view text) {
    return text.size() + std::size_t(std::ranges::count_if(text, [](char16_t c) { return c > 0x7F; }));
}

struct NoticeCase {
    const char* name;
    std::vector<AdapterChange> changes;
    std::u16string text;
    TextLength length = Utf16Length;
};

// Lines of 122 characters: two, a line break and "(y 1 más)" are 255.
const std::u16string kK(101, u'K'), kN(101, u'\u00D1');

const NoticeCase kNotices[] = {
    {"ArrivalWithAPort", {C(In, u"XK-4471", 7, false, {}, 22)},
     u"Conectado: XK-4471 en COM7; Windows indica un problema en el puerto (código 22)"},
    {"ArrivalWithoutAPort", {C(In, u"XK-4471", -1, false, NoPortReason::SharedSerial)},
     u"Conectado: XK-4471, sin puerto COM; otro adaptador tiene el mismo número de serie"},
    {"ArrivalsFirst", {C(Out, u"AB 12", 3), C(In, u"XK-4471", 7)}, u"Conectado: XK-4471 en COM7\nDesconectado: AB 12"},
    // A port that became known, or another, is news; the old one, or one lost, is not: the adapter is still there.
    {"PortChange", {C(Out, u"AB 12", 3, true), C(Out, u"GH", 5, true), C(In, u"AB 12", 4, true), C(In, u"GH", 0, true)},
     u"Conectado: AB 12 en COM4"},
    {"CutToWholeLines", {C(In, kK + u"A", 10), C(In, kK + u"B", 11), C(In, kK + u"C", 12)},
     u"Conectado: " + kK + u"A en COM10\nConectado: " + kK + u"B en COM11\n(y 1 más)"},
    // On the 98 family in the code page's bytes: never inside a character, "(y 2 más)" kept.
    {"CutInCodePageBytes", {C(In, kN + u"A", 10), C(In, kN + u"B", 11), C(In, kN + u"C", 12)},
     u"Conectado: " + kN + u"A en COM10\n(y 2 más)", DoubleByte},
    // As the report shows it: through the code page, a zero byte as U+FFFD.
    {"SerialOutsideAscii", {C(In, std::u16string(u"\u00D1u\0", 3), 4)}, u"Conectado: \u00D1u\uFFFD en COM4"},
    {"NothingToTell", {C(Out, u"AB 12", 3, true), C(In, u"AB 12", -1, true)}, u""},
};

TEST(Notice, SaysWhatCameAndWent) {
    for (const NoticeCase& c : kNotices) EXPECT_EQ(NoticeText(c.changes, c.length), c.text) << c.name;
}

// The user's registry holding the value, or not; journals each read and write.
struct OneValue final : UserRegistry {
    std::optional<Value> held;
    std::string journal;
    std::optional<Value> Read(const char* key, const char* name) override { return journal += "read "s + key + " " + name + ";", held; }
    bool WriteNumber(const char* key, const char* name, std::uint32_t number) override {
        return journal += "write "s + key + " " + name + " " + std::to_string(number) + ";", true;
    }
};

// On unless the value is the number 0; absent or unreadable, on. Written when the user turns it, and only then.
TEST(NoticeChoice, OnUnlessZeroWrittenOnlyWhenTurned) {
    const std::string zero(4, '\0'), seven = "\7" + zero.substr(1);
    for (const auto& [held, wanted] : std::initializer_list<std::pair<std::optional<UserRegistry::Value>, bool>>{
             {{}, true}, {{{4, zero}}, false}, {{{4, seven}}, true}, {{{3, zero}}, true}, {{{4, zero + zero}}, true}}) {
        OneValue registry;
        registry.held = held;
        NoticeChoice choice(registry);
        EXPECT_EQ(choice.Wanted(), wanted);
        choice.Toggle();
        EXPECT_EQ(registry.journal, "read Software\\Talvenor\\BuscadorVIRK Avisos;write Software\\Talvenor\\BuscadorVIRK Avisos " +
                                        std::to_string(!wanted) + ";");
    }
}

}  // namespace
