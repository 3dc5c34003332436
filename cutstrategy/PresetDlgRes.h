#pragma once
// Resource ids of the cut strategy dialog in its two builds.

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The station's build (dialog 211).
#define IDD_PRESET_STATION 211
#define IDC_PRESET_LIST 1093
#define IDC_PRESET_EDITOR 1033
#define IDC_PRESET_BYLAYER 1110
#define IDC_PRESET_BYCOLOUR 1111
#define IDC_PRESET_MOVE 1011
#define IDC_PRESET_SORT 1079
#define IDC_PRESET_USEMACHINE 1112
#define IDC_PRESET_NONE 1034

// The converter's build (dialog 131).
#define IDD_PRESET_CONVERTER 131
#define IDC_CPRESET_LIST 1003
#define IDC_CPRESET_EDITOR 1004
#define IDC_CPRESET_BYLAYER 1006
#define IDC_CPRESET_BYCOLOUR 1007
#define IDC_CPRESET_SORT 1012
#define IDC_CPRESET_METHODGROUP 1013
#define IDC_CPRESET_SORTGROUP 1014
