#pragma once
// Resource ids of Lumbrel.

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_LUMBREL_DIALOG 102
#define IDR_MAINFRAME 128

#define IDC_VERSION_LIST 1001

#define IDM_ABOUTBOX 0x0010
