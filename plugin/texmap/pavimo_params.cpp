// Static descriptors that register themselves with the class descriptor while the library
// loads. They live in this one file because their order matters: the class descriptor
// (built on first use by the first of them), the parameter block descriptor, then the
// IPavimo interface descriptor.
#include "texmap/pavimo_params.h"

#include <ifnpub.h>

#include "resource.h"
#include "shell/release.h"
#include "shell/tilvara.h"
#include "texmap/pavimo.h"

// clang-format off
ParamBlockDesc2 pavimo_param_blk(
    // block ID, internal name, display name (none), owner, flags
    pavimo_params, _T("params"), 0, GetPavimoDesc(), P_AUTO_CONSTRUCT + P_AUTO_UI,
    // P_AUTO_CONSTRUCT: reference number of the block in the map
    PAVIMO_PBLOCK_REF,
    // P_AUTO_UI: dialog template, rollout title, flag mask, rollup flags, user dialog
    // procedure (installed when the editor opens)
    IDD_PANEL, IDS_PARAMS, 0, 0, NULL,

    // id, script name, type, [tab size,] flags, display name, tags..., p_end
    pb_submaps, _T("submaps"), TYPE_TEXMAP_TAB, 0, P_VARIABLE_SIZE, IDS_SUBMAPS,
        p_end,
    pb_all_gamma, _T("all_gamma"), TYPE_FLOAT, P_ANIMATABLE, IDS_ALL_GAMMA,
        p_default, 1.0f,
        p_range, 0.0f, 100.0f,
        p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, IDC_ALL_GAMMA_EDIT, IDC_ALL_GAMMA_SPIN, 0.01f,
        p_end,
    pb_all_hue, _T("all_hue"), TYPE_FLOAT, P_ANIMATABLE, IDS_ALL_HUE,
        p_default, 0.0f,
        p_range, -360.0f, 360.0f,
        p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, IDC_ALL_HUE_EDIT, IDC_ALL_HUE_SPIN, 1.0f,
        p_end,
    pb_all_sat, _T("all_sat"), TYPE_FLOAT, P_ANIMATABLE, IDS_ALL_SAT,
        p_default, 100.0f,
        p_range, 0.0f, 10000.0f,
        p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, IDC_ALL_SAT_EDIT, IDC_ALL_SAT_SPIN, 1.0f,
        p_end,
    pb_rnd_gamma, _T("rnd_gamma"), TYPE_FLOAT, P_ANIMATABLE, IDS_RND_GAMMA,
        p_default, 0.2f,
        p_range, 0.0f, 100.0f,
        p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, IDC_RND_GAMMA_EDIT, IDC_RND_GAMMA_SPIN, 0.01f,
        p_end,
    pb_rnd_hue, _T("rnd_hue"), TYPE_FLOAT, P_ANIMATABLE, IDS_RND_HUE,
        p_default, 15.0f,
        p_range, 0.0f, 360.0f,
        p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, IDC_RND_HUE_EDIT, IDC_RND_HUE_SPIN, 1.0f,
        p_end,
    pb_rnd_sat, _T("rnd_sat"), TYPE_FLOAT, P_ANIMATABLE, IDS_RND_SAT,
        p_default, 10.0f,
        p_range, 0.0f, 10000.0f,
        p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, IDC_RND_SAT_EDIT, IDC_RND_SAT_SPIN, 1.0f,
        p_end,
    pb_occ_gamma, _T("occ_gamma"), TYPE_FLOAT, P_ANIMATABLE, IDS_OCC_GAMMA,
        p_default, 50.0f,
        p_range, 0.0f, 100.0f,
        p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, IDC_OCC_GAMMA_EDIT, IDC_OCC_GAMMA_SPIN, 1.0f,
        p_end,
    pb_occ_hue, _T("occ_hue"), TYPE_FLOAT, P_ANIMATABLE, IDS_OCC_HUE,
        p_default, 50.0f,
        p_range, 0.0f, 100.0f,
        p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, IDC_OCC_HUE_EDIT, IDC_OCC_HUE_SPIN, 1.0f,
        p_end,
    pb_occ_sat, _T("occ_sat"), TYPE_FLOAT, P_ANIMATABLE, IDS_OCC_SAT,
        p_default, 50.0f,
        p_range, 0.0f, 100.0f,
        p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, IDC_OCC_SAT_EDIT, IDC_OCC_SAT_SPIN, 1.0f,
        p_end,
    // Radio buttons store the index of the chosen button.
    pb_rnd_by, _T("rnd_by"), TYPE_INT, 0, IDS_RND_BY,
        p_default, 0,
        p_range, 0, 2,
        p_ui, TYPE_RADIO, 3, IDC_RND_BY_MATID, IDC_RND_BY_OBJECT, IDC_RND_BY_TILE,
        p_end,
    pb_seed, _T("seed"), TYPE_INT, P_ANIMATABLE, IDS_SEED,
        p_default, 12345,
        p_range, 1, 99999,
        p_ui, TYPE_SPINNER, EDITTYPE_POS_INT, IDC_SEED_EDIT, IDC_SEED_SPIN, SPIN_AUTOSCALE,
        p_end,
    pb_blur, _T("blur"), TYPE_FLOAT, P_ANIMATABLE, IDS_BLUR,
        p_default, 1.0f,
        p_range, 0.01f, 100.0f,
        p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, IDC_BLUR_EDIT, IDC_BLUR_SPIN, 0.01f,
        p_end,
    pb_filtering, _T("filtering"), TYPE_INT, 0, IDS_FILTERING,
        p_default, 0,
        p_range, 0, 2,
        p_ui, TYPE_RADIO, 3, IDC_FILTER_PYRAMIDAL, IDC_FILTER_SUMMED, IDC_FILTER_NONE,
        p_end,
#if TILVARA_RELEASE == 201
    // Release 2.01: not animatable, no display name, the swatch and radio ids of its template;
    // the radio buttons store their index.
    pb_sub_color, _T("sub_color"), TYPE_RGBA, 0, 0,
        p_default, Color(0.5f, 0.5f, 0.5f),
        p_ui, TYPE_COLORSWATCH, IDC_SUB_COLOR_201,
        p_end,
    pb_use_color, _T("use_color"), TYPE_BOOL, 0, 0,
        p_default, FALSE,
        p_ui, TYPE_RADIO, 2, IDC_USE_TEXTURES_201, IDC_USE_COLOR,
        p_end,
#else
    pb_sub_color, _T("sub_color"), TYPE_RGBA, P_ANIMATABLE, IDS_SUB_COLOR,
        p_default, Color(0.5f, 0.5f, 0.5f),
        p_ui, TYPE_COLORSWATCH, IDC_SUB_COLOR,
        p_end,
    pb_use_color, _T("use_color"), TYPE_BOOL, P_ANIMATABLE, IDS_USE_COLOR,
        p_default, FALSE,
        p_ui, TYPE_RADIO, 2, IDC_USE_TEXTURES, IDC_USE_COLOR,
        p_vals, FALSE, TRUE,
        p_end,
#endif
    pb_submap_on, _T("submap_on"), TYPE_BOOL_TAB, 0, P_VARIABLE_SIZE, 0,
        p_default, TRUE,
        p_end,
#if TILVARA_RELEASE == 201
    // Release 2.01: the weights are animatable; the angle is not, has no display name and
    // no range.
    pb_probability, _T("probability"), TYPE_INT_TAB, 0, P_VARIABLE_SIZE + P_ANIMATABLE, 0,
        p_default, 1,
        p_end,
    pb_rotate, _T("rotate"), TYPE_ANGLE, 0, 0,
        p_default, 0.0f,
        p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, IDC_ROTATE_EDIT, IDC_ROTATE_SPIN, 0.01f,
        p_end,
#else
    pb_probability, _T("probability"), TYPE_INT_TAB, 0, P_VARIABLE_SIZE, 0,
        p_default, 1,
        p_end,
    // Held in radians; the range is given in degrees, as the rollout shows it.
    pb_rotate, _T("rotate"), TYPE_ANGLE, P_ANIMATABLE, IDS_ROTATE,
        p_default, 0.0f,
        p_range, 0.0f, 360.0f,
        p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, IDC_ROTATE_EDIT, IDC_ROTATE_SPIN, 0.01f,
        p_end,
#endif
    p_end);
// clang-format on

// The IPavimo interface: one script-visible property through which the manager dialog
// script keeps its dialog on the map. Defined after the block descriptor so that the class
// descriptor lists the block first.
// clang-format off
static FPInterfaceDesc pavimo_interface(
    // interface ID, internal name, description (none), owner, flags
    PAVIMO_INTERFACE_ID, PAVIMO_INTERFACE_NAME, 0, GetPavimoDesc(), PAVIMO_INTERFACE_FLAGS,
    properties,
        // getter, setter, name, description (none), type
        pavimo_get_listview, pavimo_set_listview, _T("ListView"), 0, TYPE_VALUE,
    p_end);
// clang-format on

FPInterfaceDesc* GetPavimoInterfaceDesc() {
  return &pavimo_interface;
}
