// entry_tables.cpp - the shortcut table and the filter table.
//
// Rows of mask 0x02 belong to the developer installation only. Shortcut rows 5 to 7 point at
// files that filter rows 0, 1 and 3 keep out of a standard installation.
#include "payload/entry_tables.h"

const ShortcutEntry kShortcutTable[kShortcutCount] = {
    {"Lexivane Program.Lnk", "lxv.exe", 0xFF},
    {"Online Help.Lnk", "lxv.hlp", 0xFF},
    {"User Manual.Lnk", "lxv.htm", 0xFF},
    {"Network Administrator's Guide.Lnk", "lxvnet_a.htm", 0xFF},
    {"Network User's Guide.Lnk", "lxvnet_u.htm", 0xFF},
    {"Developer's Reference.Lnk", "devref.htm", 0x02},
    {"Pelorin Language Reference.Lnk", "plr.htm", 0x02},
    {"Developer's Test Program.Lnk", "apitest.exe", 0x02},
};

// Tried in order; the first row whose pattern matches decides.
const FilterEntry kFilterTable[kFilterCount] = {
    {"devref.htm", 0x02},   {"plr.htm", 0x02},     {"decl_*", 0x02},       {"apitest.exe", 0x02},
    {"gauge32.dll", 0x02},  {"?plx.dll", 0x02},    {"lxconv32.dll", 0x02}, {"lxconv32.lib", 0x02},
    {"fmtprobe.lib", 0x02}, {"gauge32.lib", 0x02}, {"test.frm", 0x02},     {"test.vbp", 0x02},
};
