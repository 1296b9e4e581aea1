#pragma once
// Bitmap ids of the station indicators. Plain defines, so the resource script can use
// them as well as the portable controller.

#define IDB_FAIL 130      // station failed its test
#define IDB_TEST_PASS 131 // test passed, programming failed or not run
#define IDB_TESTING 134   // test running
#define IDB_PASS 135      // test passed and programmed
#define IDB_ABNORMAL 136  // programmed but not marked as passed
#define IDB_READY 138     // station enabled, idle
#define IDB_DISABLED 139  // station disabled
