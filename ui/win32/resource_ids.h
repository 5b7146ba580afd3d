// Numbers of the program's resources (quenmar.rc.in), shared by the resource script
// and the code that loads them.
#pragma once

#define IDI_QUENMAR 1
#define IDB_START 101
#define IDB_CANCEL 102
#define IDB_BROWSE 103
#define IDB_INFO 104
// Each glyph's drawing of twice the size, for 144 DPI and more.
#define IDB_START_2X 111
#define IDB_CANCEL_2X 112
#define IDB_BROWSE_2X 113
#define IDB_INFO_2X 114
#define IDR_INFO_PAGE 201
// The name of the verb on a ZIP archive's context menu, which the installer
// registers as "@<folder>\quenmar.exe,-301" so that Explorer shows it in Czech.
#define IDS_CONVERT_VERB 301
