// What /esperar answers once the adapter it waits for is there, and when it gives up.
#include "cli/wait.h"

#include "app/ascii_text.h"

#include <algorithm>

std::optional<ListOutput> WaitAnswer(const ListCommand& command, std::span<const ScannedDevice> devices,
                                     const AnsiCodePage& codePage) {
    if (command.Serial) {
        ListOutput found = ListDevices({ListAction::Serie, command.Serial}, devices, codePage);
        if (found.ExitCode != kExitListed) return std::nullopt;
        return found;
    }
    if (std::ranges::none_of(devices, [](const ScannedDevice& device) { return KnownPort(device).has_value(); }))
        return std::nullopt;
    return ListDevices({ListAction::Plain}, devices, codePage);
}

ListOutput GaveUp(const ListCommand& command, const AnsiCodePage& codePage) {
    const std::u16string seconds =
        AsciiText(std::to_string(command.Seconds)) + (command.Seconds == 1 ? u" segundo" : u" segundos");
    std::u16string what = u"ningún adaptador VIRK con un puerto COM conocido";
    if (command.Serial)
        what = u"el adaptador VIRK con el número de serie \"" + SerialAsked(*command.Serial, codePage) +
               u"\" y un puerto COM conocido";
    return {{}, u"No se conectó " + what + u" en " + seconds + u".\r\n", kExitNothing};
}
