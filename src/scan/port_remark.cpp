// What both programs say of an adapter's port beside its number: why it has none, or the problem Windows sees.
#include "scan/port_remark.h"

#include "app/ascii_text.h"

namespace {

std::u16string_view ReasonText(NoPortReason reason) {
    switch (reason) {
    case NoPortReason::Unread: return u"no se pudo leer (otro programa puede tener abierto su puerto)";
    case NoPortReason::SharedSerial: return u"otro adaptador tiene el mismo número de serie";
    case NoPortReason::NoOwnSerial: return u"Windows no usa su número de serie y no se sabe cuál es su puerto";
    case NoPortReason::NoPortDevice: return u"Windows no le ha dado un puerto (falta el controlador o no ha terminado)";
    case NoPortReason::NoLookup: return u"esta versión de Windows no permite buscar el puerto";
    }
    return u"";
}

}  // namespace

std::optional<std::u16string> PortRemark(const ScannedDevice& device) {
    if (!KnownPort(device)) {
        if (!device.Reason) return std::nullopt;
        return std::u16string(ReasonText(*device.Reason));
    }
    if (!device.Problem) return std::nullopt;
    return u"Windows indica un problema en el puerto (código " + AsciiText(std::to_string(*device.Problem)) + u")";
}
