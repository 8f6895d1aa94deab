// What the parameter block's files share: how each parameter type is held (asked of the
// host's one parameter-type table), conversions between held values, keys, and the raw
// chunk reads and writes of saved blocks.
#pragma once

#include <vector>

#include <iload.h>
#include <isave.h>

#include "base/param_types.h"
#include "core/param_block.h"

namespace maxhost::pblock {

enum class Kind { Float, Int, Point, AColor4, String, Ref };

// How a block holds a value of this type; a type the table does not know is held as an
// integer, as the host holds enumerations.
inline Kind KindOf(int type) {
  const ParamTypeInfo* info = FindParamType(type);
  switch (info ? info->storage : ParamStorage::Int) {
    case ParamStorage::Float:
      return Kind::Float;
    case ParamStorage::Point3:
      return Kind::Point;
    case ParamStorage::Point4:
      return Kind::AColor4;
    case ParamStorage::String:
      return Kind::String;
    case ParamStorage::Reference:
      return Kind::Ref;
    case ParamStorage::Int:
      break;
  }
  return Kind::Int;
}

// Whether target r may be stored in a parameter of this type (null always may).
inline bool AcceptsTarget(int type, ReferenceTarget* r) {
  if (!r) return true;
  const ParamTypeInfo* info = FindParamType(type);
  return info && info->storage == ParamStorage::Reference &&
         (info->accepts == 0 || r->SuperClassID() == info->accepts);
}

// Converts v (of kind `from`) into `into`, a value of a parameter of kind `to`.
bool Convert(const PBValue& v, Kind from, Kind to, PBValue& into);
// Adds a key at t, or replaces the key already there; keys stay in time order.
void InsertKey(std::vector<PBKey>& keys, TimeValue t, const PBValue& v);

template <class T>
bool WriteRaw(ISave* s, const T& v) {
  ULONG n = 0;
  return s->Write(&v, sizeof(T), &n) == IO_OK && n == sizeof(T);
}
template <class T>
bool ReadRaw(ILoad* l, T& v) {
  ULONG n = 0;
  return l->Read(&v, sizeof(T), &n) == IO_OK && n == sizeof(T);
}

}  // namespace maxhost::pblock
