// What ListaVIRK writes for a scan's devices, in each of its forms, and its fixed texts.
#include "cli/listing.h"

#include "app/ascii_text.h"
#include "app/convert_to_string.h"
#include "app/library_fault_text.h"

#include <algorithm>
#include <cstdio>
#include <optional>

std::optional<std::int16_t> KnownPort(const ScannedDevice& device) {
    if (!device.Read || !device.LookedUp || device.PortNumber < 1) return std::nullopt;
    return device.PortNumber;
}

std::u16string SerialAsked(const std::string& bytes, const AnsiCodePage& codePage) {
    const std::span units(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return ConvertToString(units, static_cast<std::int32_t>(units.size()), codePage);
}

const std::u16string_view kUsage =
    u"Uso: ListaVIRK [opción]\r\n"
    u"Lista los adaptadores VIRK conectados al PC, con su puerto COM y su número de\r\n"
    u"serie.\r\n"
    u"\r\n"
    u"  (ninguna)        una línea por adaptador: COM<n> (o - si no se conoce), un\r\n"
    u"                   tabulador y el número de serie\r\n"
    u"  /json            los adaptadores en JSON: puerto, serie, vid, pid y ubicacion\r\n"
    u"  /csv             los adaptadores en CSV, con la línea de encabezado\r\n"
    u"                   puerto,serie,vid,pid,ubicacion\r\n"
    u"  /serie TEXTO     el puerto COM del primer adaptador cuyo número de serie es\r\n"
    u"                   TEXTO\r\n"
    u"  /esperar [TEXTO] [/segundos N]\r\n"
    u"                   espera a que haya un adaptador con un puerto conocido y los\r\n"
    u"                   lista como sin opción; con TEXTO, espera al adaptador con\r\n"
    u"                   ese número de serie y escribe su puerto, como /serie. Con\r\n"
    u"                   /segundos, deja de esperar a los N segundos (de 1 a 86400)\r\n"
    u"  /vigilar         una línea JSON por adaptador que se conecta o se desconecta:\r\n"
    u"                   \"evento\" (\"conectado\" o \"desconectado\") y los campos de\r\n"
    u"                   /json; primero los ya conectados. Termina con Ctrl+C\r\n"
    u"  /ayuda, /h, /?   esta ayuda\r\n"
    u"  /version         la versión del programa\r\n"
    u"Las opciones valen también con - o -- delante, en mayúsculas o minúsculas.\r\n"
    u"\r\n"
    u"En un archivo por lotes:\r\n"
    u"  for /f %%p in ('ListaVIRK /esperar XK-4471 /segundos 60') do flasher %%p\r\n"
    u"\r\n"
    u"Código de salida: 0 si listó algún adaptador (o halló el puerto pedido, o\r\n"
    u"/vigilar terminó con Ctrl+C o al cerrarlo); 1 si no hay ninguno (o ninguno\r\n"
    u"con ese número de serie y un puerto conocido, o /esperar dejó de esperar, o\r\n"
    u"/vigilar no pudo escribir); 2 si la línea de órdenes no es válida; 3 si falta\r\n"
    u"la biblioteca BuscaVIRK.dll o una de sus funciones; 4 si no pudo crear su\r\n"
    u"ventana oculta o su temporizador, o esperar sus mensajes.\r\n";

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

// Quoted only where it must be: a comma, a quote or a line break in it.
std::u16string CsvField(const std::u16string& text) {
    if (text.find_first_of(u",\"\r\n") == std::u16string::npos) return text;
    std::u16string quoted = u"\"";
    for (char16_t c : text) quoted += c == u'"' ? std::u16string(u"\"\"") : std::u16string(1, c);
    return quoted + u'"';
}

std::u16string Port(std::int16_t port) { return AsciiText(std::to_string(port)); }

std::u16string Plain(std::span<const ScannedDevice> devices) {
    std::u16string out;
    for (const ScannedDevice& device : devices) {
        const auto port = KnownPort(device);
        out.append(port ? u"COM" + Port(*port) : u"-").append(u"\t");
        if (device.Read) out.append(PlainSerial(AsShown(device.Read->Serial)));
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
           u", \"ubicacion\": " + (device.Location ? JsonString(*device.Location) : u"null");
}

std::u16string Json(std::span<const ScannedDevice> devices) {
    std::u16string out = u"[";
    for (const ScannedDevice& device : devices)
        out.append(&device == &devices.front() ? u"\r\n" : u",\r\n").append(u"  {").append(JsonFields(device)).append(u"}");
    return out.append(devices.empty() ? u"]" : u"\r\n]").append(kLineEnd);
}

std::u16string Csv(std::span<const ScannedDevice> devices) {
    std::u16string out = u"puerto,serie,vid,pid,ubicacion";
    out.append(kLineEnd);
    for (const ScannedDevice& device : devices) {
        const auto port = KnownPort(device);
        const auto& read = device.Read;
        out.append(port ? Port(*port) : u"").append(u",")
            .append(read ? CsvField(AsShown(read->Serial)) : u"").append(u",")
            .append(read ? Hex(read->Vid) : u"").append(u",")
            .append(read ? Hex(read->Pid) : u"").append(u",")
            .append(device.Location ? CsvField(*device.Location) : u"").append(kLineEnd);
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
    if (const auto port = KnownPort(*found)) return {u"COM" + Port(*port) + std::u16string(kLineEnd), {}, kExitListed};
    return {{}, u"El adaptador VIRK con el número de serie \"" + wanted + u"\" no tiene un puerto COM conocido." +
                    std::u16string(kLineEnd),
            kExitNothing};
}

}  // namespace

ListedScan ScanForListing(Platform& platform, SharedState& state) {
    try {
        return {ScanDevices(platform, state), std::nullopt};
    } catch (const DeviceLibraryFault& fault) {
        CloseDeviceLeftOpen(platform.Devices, state);
        return {{}, ListOutput{{}, FaultLine(fault), kExitLibrary}};
    }
}

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

std::u16string FaultLine(const DeviceLibraryFault& fault) {
    // One line: the advice follows on it.
    return LibraryFaultText(fault, u"ListaVIRK.exe", u" ") + std::u16string(kLineEnd);
}

std::u16string WindowFaultLine(WindowFault fault, std::uint32_t error) {
    const std::u16string_view what = fault == WindowFault::Window  ? u"crear su ventana oculta para los avisos de Windows"
                                     : fault == WindowFault::Timer ? u"poner en marcha su temporizador"
                                                                   : u"esperar los mensajes de Windows";
    return u"ListaVIRK no pudo " + std::u16string(what) + u" (error " + AsciiText(std::to_string(error)) + u")." +
           std::u16string(kLineEnd);
}
