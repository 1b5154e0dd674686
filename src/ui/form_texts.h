// frmMain's fixed texts; Label1's is also the title of its notices and their icon's tip.
#pragma once

namespace form {

inline constexpr const wchar_t* kTitle = L"BUSCADOR VIRK 1.0 - Talvenor";
inline constexpr const wchar_t* kLabel1 = L"Buscador VIRK";
inline constexpr const wchar_t* kRefreshCaption = L"&Buscar";
inline constexpr const wchar_t* kQuitCaption = L"&Salir";
inline constexpr const wchar_t* kFaultCaption = L"BuscadorVIRK";

// Six lines, each ending in CR LF; the third is padded with 77 spaces.
inline constexpr const wchar_t* kText1 =
    L"_Programa construido para mostrar los VIRK encontrados en su PC, \r\n"
    L"indicando los n\u00FAmeros de Puerto COM asignados a cada uno de \r\n"
    L"ellos por el Sistema Operativo."
    L"                                                                             \r\n"
    L" \r\n"
    L"_Cada vez que desconecte o conecte un VIRK se debe presionar \r\n"
    L"nuevamente \"Buscar\" para refrescar la pantalla.\r\n";

}  // namespace form
