// The user's choice of plug-in notices, kept per user: the one registry value the programs write.
#pragma once

// HKEY_CURRENT_USER\Software\Talvenor\BuscadorVIRK, REG_DWORD "Avisos": on unless it reads 0; absent or
// unreadable, on.
bool NoticesWanted();
// Written only when the user changes it; false when it could not be.
bool KeepNoticesWanted(bool wanted);
