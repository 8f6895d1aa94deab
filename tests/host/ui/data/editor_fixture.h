// Identifiers of the editor tests' resources, shared by editor_fixture.rc and the tests.
#pragma once

#define FX_IDS_TITLE 4
#define FX_IDD_ROLLOUT 114
#define FX_IDB_PICTURE 103

// Radio groups
#define FX_IDC_KEY_A 1002
#define FX_IDC_KEY_B 1003
#define FX_IDC_KEY_C 1010
#define FX_IDC_SOURCE_MAPS 1005
#define FX_IDC_SOURCE_COLOR 1082
#define FX_IDC_FILTER_A 1006
#define FX_IDC_FILTER_B 1008
#define FX_IDC_FILTER_C 1009
// Push button and picture
#define FX_IDC_PUSH 1001
#define FX_IDC_PICTURE 1007
// Edit fields and their spinners
#define FX_IDC_SEED_EDIT 1015
#define FX_IDC_SEED_SPIN 1017
#define FX_IDC_SWATCH 1079
#define FX_IDC_ROW1_A_EDIT 1490
#define FX_IDC_ROW1_B_EDIT 1491
#define FX_IDC_ROW1_C_EDIT 1492
#define FX_IDC_ROW2_A_EDIT 1493
#define FX_IDC_ROW2_B_EDIT 1494
#define FX_IDC_ROW2_C_EDIT 1495
#define FX_IDC_ROW1_A_SPIN 1496
#define FX_IDC_ROW1_B_SPIN 1497
#define FX_IDC_ROW1_C_SPIN 1498
#define FX_IDC_ROW2_A_SPIN 1499
#define FX_IDC_ROW2_B_SPIN 1500
#define FX_IDC_ROW2_C_SPIN 1501
#define FX_IDC_ROW3_A_EDIT 1502
#define FX_IDC_ROW3_A_SPIN 1503
#define FX_IDC_ROW3_B_EDIT 1504
#define FX_IDC_ROW3_B_SPIN 1505
#define FX_IDC_ROW3_C_EDIT 1506
#define FX_IDC_ROW3_C_SPIN 1507
#define FX_IDC_BLUR_EDIT 1510
#define FX_IDC_BLUR_SPIN 1511
#define FX_IDC_ANGLE_EDIT 1512
#define FX_IDC_ANGLE_SPIN 1513

#define FX_IDC_LABEL (-1)
