// Resource and command ids of Ornavex.
#pragma once

#define IDR_MAINFRAME        128
#define IDD_ABOUTBOX         100
#define IDP_OLE_INIT_FAILED  100
#define IDD_CUT              130
#define IDC_SAVETOFILE       1008
#define IDC_ABOUT_LINE       1009
#define ID_ZOOMIN            2001
#define ID_ZOOMOUT           2002
#define ID_SET               32776
#define ID_OUTPUT            32777

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
