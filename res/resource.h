// resource.h - the ids of the setup program's resources and dialog controls. Read by the
// resource compiler and by C++ alike, so it holds nothing but #defines.
#pragma once

// Setup dialog: template 101 and its numbered controls 102 to 105 and 114. Buttons 1 and 2
// are the platform's IDOK (Install) and IDCANCEL (Abort, later Exit).
#define IDD_SETUP 101
#define IDC_STATUS 102
#define IDC_METER 103
#define IDC_DIRECTORY 104
#define IDC_DIRECTORY_LABEL 105
#define IDC_DEVELOPER 114

// QuickHelp panels: one per explained item (106 to 109) and the general panel (113).
#define IDD_HELP_INSTALL 106
#define IDD_HELP_ABORT 107
#define IDD_HELP_EXIT 108
#define IDD_HELP_DIRECTORY 109
#define IDD_HELP_GENERAL 113

// Bitmaps: the setup dialog's background for more than 8 bits per pixel (110) and for 8 or
// fewer (115), and the QuickHelp panels' background (111).
#define IDB_BACKGROUND 110
#define IDB_PANEL 111
#define IDB_BACKGROUND_16 115

// The QuickHelp dot cursor.
#define IDR_DOT_CURSOR 112
