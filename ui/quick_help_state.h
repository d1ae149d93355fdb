// quick_help_state.h - QuickHelpState, the process-wide record of QuickHelp.
#pragma once

#include <windows.h>

#include <cstdint>

class CDialog;
class QuickHelpPanel;
struct QuickHelpEntry;

struct QuickHelpState {
    uint32_t panelBitmapId;
    uint32_t generalTemplateId;
    HCURSOR cursor;            // the dot; null leaves the pointer's shape alone
    QuickHelpPanel* openPanel; // owned; at most one panel exists at a time
    CDialog* ownerDialog;      // the dialog the open panel explains, not owned
    QuickHelpEntry* table;     // that dialog's table
    HWND savedFocus;           // had the keyboard focus when the panel opened
};

// Static storage: zero until RegisterQuickHelp.
extern QuickHelpState quickHelpState;
