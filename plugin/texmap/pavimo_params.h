// The map's one parameter block. Block and parameter IDs, names and types are part of the
// stored scene format and of the scripted interface: never renumber or rename them.
#pragma once

#include <iparamb2.h>

enum PavimoBlockID : BlockID { pavimo_params = 0 };

// Reference index of the block in the map.
enum { PAVIMO_PBLOCK_REF = 0 };

enum PavimoParamID : ParamID {
  pb_submaps = 0,
  pb_all_gamma = 1,
  pb_all_hue = 2,
  pb_all_sat = 3,
  pb_rnd_gamma = 4,
  pb_rnd_hue = 5,
  pb_rnd_sat = 6,
  pb_occ_gamma = 7,
  pb_occ_hue = 8,
  pb_occ_sat = 9,
  pb_rnd_by = 10,
  pb_seed = 11,
  pb_blur = 12,
  pb_filtering = 13,
  pb_sub_color = 14,
  pb_use_color = 15,
  pb_submap_on = 16,
  pb_probability = 17,
  pb_rotate = 18,
};

extern ParamBlockDesc2 pavimo_param_blk;

// Function IDs of the IPavimo interface (its `ListView` property).
enum PavimoFunctionID { pavimo_get_listview = 0, pavimo_set_listview = 1 };

// Descriptor of the IPavimo interface.
class FPInterfaceDesc;
FPInterfaceDesc* GetPavimoInterfaceDesc();
