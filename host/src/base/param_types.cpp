#include "base/param_types.h"

#include <cmath>
#include <iterator>

#include <plugapi.h>

namespace maxhost {
namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;

using S = ParamStorage;
using F = ScriptForm;
using R = RolloutForm;
using C = CommandLineForm;

// clang-format off
constexpr ParamTypeInfo kParamTypes[] = {
  // type                 name                    storage     script        rollout          command line  scale              accepts  script type
  {TYPE_FLOAT,          "TYPE_FLOAT",          S::Float,     F::Float,     R::FloatSpinner, C::Number,  1.0,               0, "float"},
  {TYPE_INT,            "TYPE_INT",            S::Int,       F::Integer,   R::IntSpinner,   C::Integer, 1.0,               0, "integer"},
  {TYPE_RGBA,           "TYPE_RGBA",           S::Point3,    F::Color,     R::ColorSwatch,  C::Triple,  1.0,               0, "RGB color"},
  {TYPE_POINT3,         "TYPE_POINT3",         S::Point3,    F::Point3,    R::None,         C::Triple,  1.0,               0, "point3"},
  {TYPE_BOOL,           "TYPE_BOOL",           S::Int,       F::Boolean,   R::CheckBox,     C::Boolean, 1.0,               0, "boolean"},
  {TYPE_ANGLE,          "TYPE_ANGLE",          S::Float,     F::Float,     R::FloatSpinner, C::Number,  kDegreesPerRadian, 0, "angle"},
  {TYPE_PCNT_FRAC,      "TYPE_PCNT_FRAC",      S::Float,     F::Float,     R::FloatSpinner, C::Number,  100.0,             0, "percent"},
  {TYPE_WORLD,          "TYPE_WORLD",          S::Float,     F::Float,     R::FloatSpinner, C::Number,  1.0,               0, "worldUnits"},
  {TYPE_STRING,         "TYPE_STRING",         S::String,    F::String,    R::TextEdit,     C::Text,    1.0,               0, "string"},
  {TYPE_FILENAME,       "TYPE_FILENAME",       S::String,    F::String,    R::TextEdit,     C::Text,    1.0,               0, "filename"},
  {TYPE_HSV,            "TYPE_HSV",            S::Point3,    F::Point3,    R::None,         C::Triple,  1.0,               0, "HSV color"},
  {TYPE_COLOR_CHANNEL,  "TYPE_COLOR_CHANNEL",  S::Float,     F::Float,     R::FloatSpinner, C::Number,  1.0,               0, "colorChannel"},
  {TYPE_TIMEVALUE,      "TYPE_TIMEVALUE",      S::Int,       F::Integer,   R::IntSpinner,   C::Integer, 1.0,               0, "time"},
  {TYPE_RADIOBTN_INDEX, "TYPE_RADIOBTN_INDEX", S::Int,       F::Integer,   R::None,         C::Integer, 1.0,               0, "radioBtnIndex"},
  {TYPE_MTL,            "TYPE_MTL",            S::Reference, F::Reference, R::MapButton,    C::None,    1.0,               MATERIAL_CLASS_ID, "material"},
  {TYPE_TEXMAP,         "TYPE_TEXMAP",         S::Reference, F::Reference, R::MapButton,    C::None,    1.0,               TEXMAP_CLASS_ID, "texturemap"},
  {TYPE_INODE,          "TYPE_INODE",          S::Reference, F::Reference, R::None,         C::None,    1.0,               BASENODE_CLASS_ID, "node"},
  {TYPE_REFTARG,        "TYPE_REFTARG",        S::Reference, F::Reference, R::None,         C::None,    1.0,               0, "maxObject"},
  {TYPE_INDEX,          "TYPE_INDEX",          S::Int,       F::Integer,   R::IntSpinner,   C::Integer, 1.0,               0, "index"},
  {TYPE_PBLOCK2,        "TYPE_PBLOCK2",        S::Reference, F::Reference, R::None,         C::None,    1.0,               PARAMETER_BLOCK2_CLASS_ID, "paramBlock2"},
  {TYPE_POINT4,         "TYPE_POINT4",         S::Point4,    F::Point4,    R::None,         C::None,    1.0,               0, "point4"},
  {TYPE_FRGBA,          "TYPE_FRGBA",          S::Point4,    F::Color,     R::ColorSwatch,  C::None,    1.0,               0, "fRGBA color"},
};
// clang-format on

}  // namespace

int BaseParamType(int type) {
  return type & ~(TYPE_TAB | TYPE_BYREF | TYPE_BYVAL | TYPE_BYPTR);
}

const ParamTypeInfo* FindParamType(int type) {
  const int base = BaseParamType(type);
  for (const ParamTypeInfo& info : kParamTypes)
    if (info.type == base) return &info;
  return nullptr;
}

double ToUserValue(int type, double stored) {
  const ParamTypeInfo* info = FindParamType(type);
  return info ? stored * info->userScale : stored;
}

double FromUserValue(int type, double user) {
  const ParamTypeInfo* info = FindParamType(type);
  return info ? user / info->userScale : user;
}

bool FitsInt32(double value) {
  return std::isfinite(value) && value >= -2147483648.0 && value <= 2147483647.0;
}

}  // namespace maxhost
