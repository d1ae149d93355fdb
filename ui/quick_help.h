// quick_help.h - QuickHelp: the small panel that explains the dialog item under the pointer.
#pragma once

#include <windows.h>

#include <cstdint>

class CDialog;

// One row of a dialog's QuickHelp table: the item it explains and the template of its panel
// (0: the general panel). A row whose control id is 0 ends the table. Tables are writable.
struct QuickHelpEntry {
    int32_t controlId;
    uint32_t templateId;
};

// Stores the panels' background bitmap, the dot cursor (may be null) and the general panel's
// template. Start-up calls it once.
void RegisterQuickHelp(uint32_t panelBitmapId, HCURSOR cursor, uint32_t generalTemplateId);
// Closes any open panel and opens the one for the item of the dialog at screen point (x, y).
void ShowQuickHelp(CDialog* dialog, int x, int y, QuickHelpEntry* table);
// Closes the open panel, if any, and gives the focus back to where it was.
void CloseQuickHelp();
