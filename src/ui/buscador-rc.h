// Resource and control ids, shared by the resource script, the window and the end-to-end tests.
#pragma once

#define IDI_MAIN 1      // the program's icon (the first icon is also the file's)
#define IDB_ADAPTER 101 // Picture2's bitmap
#define IDR_LOGO 102    // Picture1's placeable metafile

// The window's controls, in tab order.
#define IDC_CMDREFRESH 1001
#define IDC_CMDQUIT 1002
#define IDC_TXTDATA 1003
#define IDC_PICTURE1 1004
#define IDC_TEXT1 1005
#define IDC_PICTURE2 1006
#define IDC_LABEL1 1007
