// What the window's box says of a device library it cannot use.
#include "ui/fault_message.h"

#include "app/ascii_text.h"

std::u16string FaultMessage(const DeviceLibraryFault& fault) {
    std::u16string file = u"\"";
    file.append(AsciiText(fault.File)).append(u"\"");
    if (!fault.Function.empty())
        return u"La biblioteca " + file + u" no contiene la función \"" + AsciiText(fault.Function) + u"\".";
    return u"No se pudo cargar la biblioteca " + file + u" (error " + AsciiText(std::to_string(fault.Error)) +
           u").\r\n\r\nCopie la biblioteca en la carpeta de BuscadorVIRK.exe. Una biblioteca de 32 bits necesita la "
           u"versión de 32 bits del programa.";
}
