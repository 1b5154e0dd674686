// The platform services a scan reaches through: device library, registry, present ports, version word, code page.
#pragma once

#include "app/code_page.h"
#include "app/os_version.h"
#include "app/present_ports.h"
#include "app/registry.h"
#include "devicelib/device_library.h"

struct Platform {
    DeviceLibrary& Devices;
    Registry& Reg;
    PresentPorts& Ports;
    OsVersion& Version;
    const AnsiCodePage& CodePage;
};
