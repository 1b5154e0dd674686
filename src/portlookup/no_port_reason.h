// Why a device of a scan has no port known to be its own, as the lookups that gave it none can tell.
#pragma once

enum class NoPortReason {
    Unread,        // the library could not open or read it (another program holds its port, mostly)
    SharedSerial,  // another adapter attached has its vid, pid and serial: Windows cannot tell their ports apart
    NoOwnSerial,   // Windows named the port's USB device after its socket, and which adapter is in it cannot be told
    NoPortDevice,  // no port device for it, nor a record of the older drivers: its port driver is not (yet) there
    NoLookup,      // this Windows has no lookup (NT 4.0)
};
