#pragma once

// The test host window (test_host.rc): a stand-in for the main window with
// one integer field.

#define IDD_TEST_HOST 900
#define IDC_TEST_HOST_VALUE 901
