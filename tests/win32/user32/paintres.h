// Ids of the pictures in the window manager's test program's resources.
#pragma once

#define IDI_TEST_PICTURE 300
#define IDC_TEST_POINTER 301
#define IDB_TEST_COLOURS 302
