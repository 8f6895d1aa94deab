// Type codes shared by parameter blocks and function publishing.
#pragma once

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
  TYPE_ENUM = 24,
  TYPE_VOID = 25,
  TYPE_INTERVAL = 26,
  TYPE_ANGAXIS = 27,
  TYPE_QUAT = 28,
  TYPE_RAY = 29,
  TYPE_POINT2 = 30,
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
  TYPE_VALUE = 64,
  TYPE_DWORD = 65,
  TYPE_bool = 66,
  TYPE_INTPTR = 67,
  TYPE_INT64 = 68,
  TYPE_DOUBLE = 69,

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

// Table tags of the variadic ParamBlockDesc2 and FPInterfaceDesc constructors.
enum ParamTags {
  p_end = -1,
  p_default = -2,
  p_ms_default = -3,
  p_range = -4,
  p_ui = -5,
  p_validator = -6,
  p_accessor = -7,
  p_dim = -8,
  p_classID = -9,
  p_sclassID = -10,
  p_subtexno = -11,
  p_submtlno = -12,
  p_refno = -13,
  p_prompt = -14,
  p_caption = -15,
  p_enabled = -16,
  p_tooltip = -17,
  p_vals = -18,
  p_file_types = -19,
  p_init_file = -20,
  p_enum = -21,
  p_select = -22,
  p_inOut = -23,
  p_keyArgDefault = -24,
  p_uix = -25,
  p_nonLocalizedName = -26,
  properties = -100,
  enums = -101
};
