// Resource and control numbers of the Win32 window, shared by the resource script and the
// code. Plain #defines: the resource compiler reads this file too.
#pragma once

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_QUORRIX_DIALOG 102
#define IDD_PIXEL_TEST 131

// String 101: the about item of the system menu; string 102: the save-report item above it.
#define IDS_ABOUTBOX 101
#define IDS_SAVEREPORT 102

// Icon 128: the application icon (16, 32 and 48 pixels).
#define IDR_MAINFRAME 128

// Controls of the main dialog. The page frame (a group box) has no number of its own.
#define IDC_CATEGORY_LIST 1000
#define IDC_PAGE_EDIT 1003
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The about item's command in the system menu. System commands keep their low four bits for
// the system, so the item is recognised with them cleared.
#define IDM_ABOUTBOX 0x0010
#define IDM_SAVEREPORT 0x0020
