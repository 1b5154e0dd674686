// What both programs say of a device library they cannot use, in Spanish.
#include "app/library_fault_text.h"

#include "app/ascii_text.h"

std::u16string LibraryFaultText(const DeviceLibraryFault& fault, std::u16string_view programFile,
                                std::u16string_view adviceBreak) {
    // Appended, not added to a literal: GCC 12 warns falsely of an overlap there.
    std::u16string file = u"\"";
    file.append(AsciiText(fault.File)).append(u"\"");
    if (!fault.Function.empty())
        return u"La biblioteca " + file + u" no contiene la función \"" + AsciiText(fault.Function) + u"\".";
    return u"No se pudo cargar la biblioteca " + file + u" (error " + AsciiText(std::to_string(fault.Error)) + u")." +
           std::u16string(adviceBreak) + u"Copie la biblioteca en la carpeta de " + std::u16string(programFile) +
           u". Una biblioteca de 32 bits necesita la versión de 32 bits del programa.";
}
