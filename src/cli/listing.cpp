// What ListaVIRK writes for a scan's devices, in each of its forms: plain, JSON, CSV, /serie and /vigilar's line.
#include "cli/listing.h"

#include "app/ascii_text.h"
#include "app/convert_to_string.h"
#include "scan/port_remark.h"
#include "scan/report_text.h"

#include <algorithm>
#include <cstdio>
#include <optional>

std::u16string SerialAsked(const std::string& bytes, const AnsiCodePage& codePage) {
    const std::span units(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return ConvertToString(units, static_cast<std::int32_t>(units.size()), codePage);
}

namespace {

constexpr std::u16string_view kLineEnd = u"\r\n";
constexpr char16_t kReplacement = u'\uFFFD';

// At least four upper-case hex digits, the value's 32 bits as the library wrote them.
std::u16string Hex(std::int32_t value) { return HexId(value, true); }

// One line per adapter: nothing in a serial may start a new field or line.
std::u16string PlainSerial(std::u16string serial) {
    std::ranges::replace_if(serial, [](char16_t c) { return c == u'\t' || c == u'\r' || c == u'\n'; }, kReplacement);
    return serial;
}

std::u16string JsonString(const std::u16string& text) {
    std::u16string quoted = u"\"";
    for (char16_t c : text) {
        switch (c) {
        case u'"': quoted += u"\\\""; break;
        case u'\\': quoted += u"\\\\"; break;
        case u'\b': quoted += u"\\b"; break;
        case u'\f': quoted += u"\\f"; break;
        case u'\n': quoted += u"\\n"; break;
        case u'\r': quoted += u"\\r"; break;
        case u'\t': quoted += u"\\t"; break;
        default:
            if (c < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                quoted += AsciiText(escape);
            } else {
                quoted += c;
            }
        }
    }
    return quoted + u'"';
}

std::u16string JsonOrNull(const std::optional<std::u16string>& text) { return text ? JsonString(*text) : u"null"; }

// Quoted only where it must be: a comma, a quote or a line break in it.
std::u16string CsvField(const std::u16string& text) {
    if (text.find_first_of(u",\"\r\n") == std::u16string::npos) return text;
    std::u16string quoted = u"\"";
    for (char16_t c : text) quoted += c == u'"' ? std::u16string(u"\"\"") : std::u16string(1, c);
    return quoted + u'"';
}

std::u16string Port(std::int16_t port) { return AsciiText(std::to_string(port)); }

// For scripts: fixed words that never change with the wording of the remark.
std::optional<std::u16string> ReasonWord(const ScannedDevice& device) {
    if (KnownPort(device) || !device.Reason) return std::nullopt;
    switch (*device.Reason) {
    case NoPortReason::Unread: return u"sin_leer";
    case NoPortReason::SharedSerial: return u"serie_repetida";
    case NoPortReason::NoOwnSerial: return u"sin_serie_propia";
    case NoPortReason::NoPortDevice: return u"sin_puerto";
    case NoPortReason::NoLookup: return u"sin_consulta";
    }
    return std::nullopt;
}

std::optional<std::u16string> ProblemNumber(const ScannedDevice& device) {
    if (!device.Problem) return std::nullopt;
    return AsciiText(std::to_string(*device.Problem));
}

std::u16string Plain(std::span<const ScannedDevice> devices) {
    std::u16string out;
    for (const ScannedDevice& device : devices) {
        const auto port = KnownPort(device);
        out.append(port ? u"COM" + Port(*port) : u"-").append(u"\t");
        if (device.Read) out.append(PlainSerial(AsShown(device.Read->Serial)));
        // A third field only where there is something to say, so the first two read as they always have.
        if (const auto remark = PortRemark(device)) out.append(u"\t").append(*remark);
        out.append(kLineEnd);
    }
    return out;
}

// Every field of an adapter as /json and /vigilar write it, in their order, without the braces.
std::u16string JsonFields(const ScannedDevice& device) {
    const auto port = KnownPort(device);
    const auto& read = device.Read;
    return u"\"puerto\": " + (port ? Port(*port) : u"null") +
           u", \"serie\": " + (read ? JsonString(AsShown(read->Serial)) : u"null") +
           u", \"vid\": " + (read ? JsonString(Hex(read->Vid)) : u"null") +
           u", \"pid\": " + (read ? JsonString(Hex(read->Pid)) : u"null") +
           u", \"ubicacion\": " + JsonOrNull(device.Location) +
           u", \"motivo\": " + JsonOrNull(ReasonWord(device)) +
           u", \"problema\": " + ProblemNumber(device).value_or(u"null");
}

std::u16string Json(std::span<const ScannedDevice> devices) {
    std::u16string out = u"[";
    for (const ScannedDevice& device : devices)
        out.append(&device == &devices.front() ? u"\r\n" : u",\r\n").append(u"  {").append(JsonFields(device)).append(u"}");
    return out.append(devices.empty() ? u"]" : u"\r\n]").append(kLineEnd);
}

std::u16string Csv(std::span<const ScannedDevice> devices) {
    std::u16string out = u"puerto,serie,vid,pid,ubicacion,motivo,problema";
    out.append(kLineEnd);
    for (const ScannedDevice& device : devices) {
        const auto port = KnownPort(device);
        const auto& read = device.Read;
        out.append(port ? Port(*port) : u"").append(u",")
            .append(read ? CsvField(AsShown(read->Serial)) : u"").append(u",")
            .append(read ? Hex(read->Vid) : u"").append(u",")
            .append(read ? Hex(read->Pid) : u"").append(u",")
            .append(device.Location ? CsvField(*device.Location) : u"").append(u",")
            .append(ReasonWord(device).value_or(u"")).append(u",")
            .append(ProblemNumber(device).value_or(u"")).append(kLineEnd);
    }
    return out;
}

// The first adapter, in index order, whose serial as shown is the one asked for, exactly.
ListOutput PortOfSerial(const std::u16string& wanted, std::span<const ScannedDevice> devices) {
    const auto found = std::ranges::find_if(
        devices, [&](const ScannedDevice& device) { return device.Read && AsShown(device.Read->Serial) == wanted; });
    if (found == devices.end())
        return {{}, u"No hay ningún adaptador VIRK con el número de serie \"" + wanted + u"\"." + std::u16string(kLineEnd),
                kExitNothing};
    const auto remark = PortRemark(*found);
    if (const auto port = KnownPort(*found)) {
        // The port all the same, for the script; its problem for whoever reads the console.
        const std::u16string name = u"COM" + Port(*port);
        return {name + std::u16string(kLineEnd), remark ? name + u": " + *remark + u"." + std::u16string(kLineEnd) : u"",
                kExitListed};
    }
    return {{}, u"El adaptador VIRK con el número de serie \"" + wanted + u"\" no tiene un puerto COM conocido" +
                    (remark ? u": " + *remark : u"") + u"." + std::u16string(kLineEnd),
            kExitNothing};
}

}  // namespace

ListOutput ListDevices(const ListCommand& command, std::span<const ScannedDevice> devices, const AnsiCodePage& codePage) {
    const int listed = devices.empty() ? kExitNothing : kExitListed;
    switch (command.Action) {
    case ListAction::Json: return {Json(devices), {}, listed};
    case ListAction::Csv: return {Csv(devices), {}, listed};
    case ListAction::Serie: return PortOfSerial(SerialAsked(command.Serial.value(), codePage), devices);
    default: return {Plain(devices), {}, listed};
    }
}

std::u16string ChangeLine(const AdapterChange& change) {
    const std::u16string_view event = change.What == ChangeKind::Conectado ? u"conectado" : u"desconectado";
    return u"{\"evento\": \"" + std::u16string(event) + u"\", " + JsonFields(change.Device) + u"}" +
           std::u16string(kLineEnd);
}
