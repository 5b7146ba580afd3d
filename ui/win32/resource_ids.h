// Numbers of the program's resources (quenmar.rc.in), shared by the resource script
// and the code that loads them.
#pragma once

#define IDI_QUENMAR 1
#define IDB_START 101
#define IDB_CANCEL 102
#define IDB_BROWSE 103
#define IDB_INFO 104
#define IDR_INFO_PAGE 201
