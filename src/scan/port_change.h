// Which of Windows' device notifications mean that a COM port came or went, and so call for a new scan.
#pragma once

#include <cstdint>

// event is WM_DEVICECHANGE's wParam, broadcast its lParam: the DEV_BROADCAST_HDR that opens the message, or none.
// True only for a port's arrival or removal told in a whole header; anything else is not read further.
bool IsPortChange(std::uintptr_t event, const void* broadcast);
