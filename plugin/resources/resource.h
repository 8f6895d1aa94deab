// Resource identifiers of Tilvara.dlt, shared by Tilvara.rc and the plug-in's code.
#pragma once

// Strings
#define IDS_LIBDESCRIPTION 1
#define IDS_PARAMS 4
#define IDS_SEED 50
#define IDS_SUBMAPS 146
#define IDS_CLASS_NAME 252
#define IDS_ALL_GAMMA 253
#define IDS_ALL_HUE 254
#define IDS_RND_GAMMA 255
#define IDS_RND_HUE 256
#define IDS_RND_SAT 257
#define IDS_OCC_GAMMA 258
#define IDS_OCC_HUE 259
#define IDS_OCC_SAT 260
#define IDS_RND_BY 261
#define IDS_BLUR 263
#define IDS_FILTERING 264
#define IDS_ALL_SAT 265
#define IDS_SUB_COLOR 1076
#define IDS_USE_COLOR 1077
#define IDS_ROTATE 1078

// Rollout template and logo
#define IDD_PANEL 114
#define IDB_LOGO 103
#define IDR_POPUP_MENU 169

// Manager dialog script: custom type "MAXSCRIPT", English (Canada)
#define IDR_MANAGER_SCRIPT 253

// Release 2.01 (Tilvara201.rc): the logo, and the manager dialog script as a resource of
// numeric type 256
#define IDB_LOGO_201 50000
#define RT_MANAGER_SCRIPT_201 256
#define IDR_MANAGER_SCRIPT_201 10001

// Controls of IDD_PANEL
#define IDC_MANAGE_TEXTURES 1001
#define IDC_RND_BY_MATID 1002
#define IDC_RND_BY_OBJECT 1003
#define IDC_USE_TEXTURES 1005
#define IDC_FILTER_PYRAMIDAL 1006
#define IDC_LOGO 1007
#define IDC_FILTER_SUMMED 1008
#define IDC_FILTER_NONE 1009
#define IDC_RND_BY_TILE 1010
#define IDC_SEED_EDIT 1015
#define IDC_SEED_SPIN 1017
#define IDC_SUB_COLOR 1079
#define IDC_USE_COLOR 1082
#define IDC_ALL_GAMMA_EDIT 1490
#define IDC_ALL_HUE_EDIT 1491
#define IDC_ALL_SAT_EDIT 1492
#define IDC_RND_GAMMA_EDIT 1493
#define IDC_RND_HUE_EDIT 1494
#define IDC_RND_SAT_EDIT 1495
#define IDC_ALL_GAMMA_SPIN 1496
#define IDC_ALL_HUE_SPIN 1497
#define IDC_ALL_SAT_SPIN 1498
#define IDC_RND_GAMMA_SPIN 1499
#define IDC_RND_HUE_SPIN 1500
#define IDC_RND_SAT_SPIN 1501
#define IDC_OCC_GAMMA_EDIT 1502
#define IDC_OCC_GAMMA_SPIN 1503
#define IDC_OCC_HUE_EDIT 1504
#define IDC_OCC_HUE_SPIN 1505
#define IDC_OCC_SAT_EDIT 1506
#define IDC_OCC_SAT_SPIN 1507
#define IDC_BLUR_EDIT 1510
#define IDC_BLUR_SPIN 1511
#define IDC_ROTATE_EDIT 1512
#define IDC_ROTATE_SPIN 1513

// Controls of IDD_PANEL that only release 2.01 has or places elsewhere
#define IDC_MANAGE_TEXTURES_201 1079
#define IDC_USE_TEXTURES_201 1081
#define IDC_SUB_COLOR_201 1083

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Menu commands of IDR_POPUP_MENU (the menu is carried but not shown)
#define ID_POPUP_ABOUT 40001
