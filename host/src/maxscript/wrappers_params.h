// Parameters of host objects as script values, reached only through the SDK's
// IParamBlock2 interface, with the conversions of the shared parameter-type table.
#pragma once

#include <string>
#include <vector>

#include <iparamb2.h>
#include <ref.h>

#include "maxscript/maxscript.h"
#include "maxscript/maxwrapper/mxsobjects.h"

class FPValue;

namespace maxhost::mxs {

// Where a named parameter lives: its block, its ID, its type and its script name.
struct ParamLocation {
  BlockID block = -1;
  ParamID id = -1;
  int type = TYPE_VOID;
  std::wstring name;
};

// Finds the parameter `name` (case ignored) in any block of obj.
bool find_param(ReferenceTarget* obj, const MCHAR* name, ParamLocation& out);
// The block that holds loc, or the deleted-object error.
IParamBlock2* block_of(ReferenceTarget* obj, const ParamLocation& loc);

// One entry (tab 0 for a plain parameter) as scripts see it: angles in degrees,
// booleans as true/false, references wrapped.
Value* read_param(IParamBlock2* pb, const ParamLocation& loc, int tab);
// Stores a script value into one entry. A value the parameter cannot hold (a number out
// of its range, a map that would contain itself, a target of the wrong kind) is an error
// and leaves the block as it was.
void write_param(IParamBlock2* pb, const ParamLocation& loc, Value* v, int tab);

// A list parameter as a live array: reads and writes go to the block, append and
// deleteItem work on it.
Value* make_param_array(MAXWrapper* owner, const ParamLocation& loc);
// Replaces a list parameter by the items of an array.
void assign_list(IParamBlock2* pb, const ParamLocation& loc, Value* v);

// Published interface values as script values, and back.
Value* from_fp(const FPValue& v);
void to_fp(ParamType2 type, Value* v, FPValue& out);

// A property of a host object as showProperties lists it: its script name and the
// host's name for its type ("float", "RGB color", "texturemap array").
struct PropertyEntry {
  std::wstring name;
  std::wstring type;
};
// The parameters of every block, then the published interface properties. False when v
// is no host object.
bool list_properties(Value* v, std::vector<PropertyEntry>& out);

// Defined with the object wrappers.
Value* wrap(ReferenceTarget* t);
[[noreturn]] void deleted_error();

}  // namespace maxhost::mxs
