// Type codes shared by parameter blocks and function publishing.
#pragma once

#include "maxversion.h"

#define TYPE_TAB 0x800
#define TYPE_BYREF 0x1000
#define TYPE_BYVAL 0x2000
#define TYPE_BYPTR 0x4000

enum ParamType2 {
  TYPE_FLOAT = 0,
  TYPE_INT = 1,
  TYPE_RGBA = 2,
  TYPE_POINT3 = 3,
  TYPE_BOOL = 4,
  TYPE_ANGLE = 5,
  TYPE_PCNT_FRAC = 6,
  TYPE_WORLD = 7,
  TYPE_STRING = 8,
  TYPE_FILENAME = 9,
  TYPE_HSV = 10,
  TYPE_COLOR_CHANNEL = 11,
  TYPE_TIMEVALUE = 12,
  TYPE_RADIOBTN_INDEX = 13,
  TYPE_MTL = 14,
  TYPE_TEXMAP = 15,
  TYPE_BITMAP = 16,
  TYPE_INODE = 17,
  TYPE_REFTARG = 18,
  TYPE_INDEX = 19,
  TYPE_MATRIX3 = 20,
  TYPE_PBLOCK2 = 21,
  TYPE_POINT4 = 22,
  TYPE_FRGBA = 23,
  // Before 2018 the function-publishing types follow TYPE_FRGBA directly (TYPE_POINT2 among
  // them); from 2018 reserved codes 24 to 44 (TYPE_POINT2 still 30) come first.
  TYPE_POINT2 = 30,
#if MAX_VERSION_MAJOR >= 20
  TYPE_ENUM = 45,
  TYPE_VOID = 46,
  TYPE_INTERVAL = 47,
  TYPE_ANGAXIS = 48,
  TYPE_QUAT = 49,
  TYPE_RAY = 50,
  TYPE_BITARRAY = 51,
  TYPE_CLASS = 52,
  TYPE_MESH = 53,
  TYPE_OBJECT = 54,
  TYPE_CONTROL = 55,
  TYPE_POINT = 56,
  TYPE_TSTR = 57,
  TYPE_IOBJECT = 58,
  TYPE_INTERFACE = 59,
  TYPE_HWND = 60,
  TYPE_NAME = 61,
  TYPE_COLOR = 62,
  TYPE_FPVALUE = 63,
  TYPE_VALUE = 64,
  TYPE_DWORD = 65,
  TYPE_bool = 66,
  TYPE_INTPTR = 67,
  TYPE_INT64 = 68,
  TYPE_DOUBLE = 69,
#else
  TYPE_ENUM = 24,
  TYPE_VOID = 25,
  TYPE_INTERVAL = 26,
  TYPE_ANGAXIS = 27,
  TYPE_QUAT = 28,
  TYPE_RAY = 29,
  TYPE_BITARRAY = 31,
  TYPE_CLASS = 32,
  TYPE_MESH = 33,
  TYPE_OBJECT = 34,
  TYPE_CONTROL = 35,
  TYPE_POINT = 36,
  TYPE_TSTR = 37,
  TYPE_IOBJECT = 38,
  TYPE_INTERFACE = 39,
  TYPE_HWND = 40,
  TYPE_NAME = 41,
  TYPE_COLOR = 42,
  TYPE_FPVALUE = 43,
  TYPE_VALUE = 44,
  TYPE_DWORD = 45,
  TYPE_bool = 46,
  TYPE_INTPTR = 47,
  TYPE_INT64 = 48,
  TYPE_DOUBLE = 49,
#endif

  TYPE_FLOAT_TAB = TYPE_FLOAT + TYPE_TAB,
  TYPE_INT_TAB = TYPE_INT + TYPE_TAB,
  TYPE_RGBA_TAB = TYPE_RGBA + TYPE_TAB,
  TYPE_POINT3_TAB = TYPE_POINT3 + TYPE_TAB,
  TYPE_BOOL_TAB = TYPE_BOOL + TYPE_TAB,
  TYPE_ANGLE_TAB = TYPE_ANGLE + TYPE_TAB,
  TYPE_PCNT_FRAC_TAB = TYPE_PCNT_FRAC + TYPE_TAB,
  TYPE_WORLD_TAB = TYPE_WORLD + TYPE_TAB,
  TYPE_STRING_TAB = TYPE_STRING + TYPE_TAB,
  TYPE_FILENAME_TAB = TYPE_FILENAME + TYPE_TAB,
  TYPE_HSV_TAB = TYPE_HSV + TYPE_TAB,
  TYPE_COLOR_CHANNEL_TAB = TYPE_COLOR_CHANNEL + TYPE_TAB,
  TYPE_TIMEVALUE_TAB = TYPE_TIMEVALUE + TYPE_TAB,
  TYPE_RADIOBTN_INDEX_TAB = TYPE_RADIOBTN_INDEX + TYPE_TAB,
  TYPE_MTL_TAB = TYPE_MTL + TYPE_TAB,
  TYPE_TEXMAP_TAB = TYPE_TEXMAP + TYPE_TAB,
  TYPE_BITMAP_TAB = TYPE_BITMAP + TYPE_TAB,
  TYPE_INODE_TAB = TYPE_INODE + TYPE_TAB,
  TYPE_REFTARG_TAB = TYPE_REFTARG + TYPE_TAB,
  TYPE_INDEX_TAB = TYPE_INDEX + TYPE_TAB,
  TYPE_MATRIX3_TAB = TYPE_MATRIX3 + TYPE_TAB,
  TYPE_POINT4_TAB = TYPE_POINT4 + TYPE_TAB,
  TYPE_FRGBA_TAB = TYPE_FRGBA + TYPE_TAB,
  TYPE_VALUE_TAB = TYPE_VALUE + TYPE_TAB,
  TYPE_INT_TAB_BR = TYPE_INT_TAB + TYPE_BYREF,
  TYPE_STRING_TAB_BV = TYPE_STRING_TAB + TYPE_BYVAL,
  TYPE_TSTR_BV = TYPE_TSTR + TYPE_BYVAL,
  TYPE_TSTR_BR = TYPE_TSTR + TYPE_BYREF,
  TYPE_INT_BR = TYPE_INT + TYPE_BYREF,
  TYPE_FLOAT_BR = TYPE_FLOAT + TYPE_BYREF,
  TYPE_BOOL_BR = TYPE_BOOL + TYPE_BYREF,
  TYPE_POINT3_BV = TYPE_POINT3 + TYPE_BYVAL,
  TYPE_POINT3_BR = TYPE_POINT3 + TYPE_BYREF,
  TYPE_RGBA_BV = TYPE_RGBA + TYPE_BYVAL,
  TYPE_COLOR_BV = TYPE_COLOR + TYPE_BYVAL,

  TYPE_UNSPECIFIED = 0x7fff
};

inline bool is_tab(int type) {
  return (type & TYPE_TAB) != 0;
}
inline int base_type(int type) {
  return type & ~(TYPE_TAB | TYPE_BYREF | TYPE_BYVAL | TYPE_BYPTR);
}
inline bool is_by_ref(int type) {
  return (type & TYPE_BYREF) != 0;
}
inline bool is_by_val(int type) {
  return (type & TYPE_BYVAL) != 0;
}

// Table tags of the variadic ParamBlockDesc2 and FPInterfaceDesc constructors. They sit far
// below any value a table passes (-2^30 upwards), so that a tag is never mistaken for one.
enum ParamTags {
  p_default = -(1 << 30),
  p_ms_default,
  p_range,
  p_ui,
  p_validator,
  p_accessor,
  p_vals,
  p_refno,
  p_subtexno,
  p_submtlno,
  p_dim,
  p_classID,
  p_sclassID,
  p_enabled,
  p_enable_ctrls,
  p_prompt,
  p_caption,
  p_init_file,
  p_file_types,
  p_ctrl_ids,
  p_uix,
  p_configurable_default,
  p_tooltip,
  p_nonLocalizedName = p_default + 64,
  // The stand-in also takes these spellings of the function-publishing options.
  p_enum = p_default + 100,
  p_select,
  p_inOut,
  p_keyArgDefault,
  p_end = p_default + 1024,
  properties,
  enums
};
