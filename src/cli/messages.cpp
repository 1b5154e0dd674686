// ListaVIRK's fixed texts: the usage and the lines that say why it could not go on.
#include "cli/messages.h"

#include "app/ascii_text.h"
#include "app/library_fault_text.h"

namespace {

constexpr std::u16string_view kLineEnd = u"\r\n";

}  // namespace

const std::u16string_view kUsage =
    u"Uso: ListaVIRK [opción]\r\n"
    u"Lista los adaptadores VIRK conectados al PC, con su puerto COM y su número de\r\n"
    u"serie.\r\n"
    u"\r\n"
    u"  (ninguna)        una línea por adaptador: COM<n> (o - si no se conoce), un\r\n"
    u"                   tabulador y el número de serie; y, si hay algo que decir,\r\n"
    u"                   otro tabulador y por qué no tiene puerto o qué problema\r\n"
    u"                   indica Windows en él\r\n"
    u"  /json            los adaptadores en JSON: puerto, serie, vid, pid, ubicacion,\r\n"
    u"                   motivo (por qué no tiene puerto) y problema (el código de\r\n"
    u"                   Windows para su puerto)\r\n"
    u"  /csv             los adaptadores en CSV, con la línea de encabezado\r\n"
    u"                   puerto,serie,vid,pid,ubicacion,motivo,problema\r\n"
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
