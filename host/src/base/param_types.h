// The one table of parameter types: for each TYPE_* the stand-in supports, how a block
// stores it, how scripts read and write it, how the rollout shows it, how the command
// line parses it, and what a reference parameter accepts. Every area that converts a
// parameter value asks this table instead of keeping a switch of its own.
#pragma once

#include <maxtypes.h>
#include <paramtype.h>

namespace maxhost {

// How a parameter block holds a value.
enum class ParamStorage { Float, Int, Point3, Point4, String, Reference };
// What a script sees.
// Color: scripts see a Color value whose channels are the stored 0 to 1 fractions x255.
enum class ScriptForm { Float, Integer, Boolean, String, Point3, Point4, Color, Reference };
// The control a rollout binds to the parameter.
enum class RolloutForm {
  FloatSpinner,
  IntSpinner,
  CheckBox,
  ColorSwatch,
  TextEdit,
  MapButton,
  None
};
// What `--set NAME=VALUE` takes.
enum class CommandLineForm { Number, Integer, Boolean, Triple, Text, None };

struct ParamTypeInfo {
  int type;          // the base TYPE_* (without TYPE_TAB)
  const char* name;  // as the SDK spells it
  ParamStorage storage;
  ScriptForm script;
  RolloutForm rollout;
  CommandLineForm commandLine;
  // Scripts, the rollout and the command line show stored * userScale: degrees for
  // angles (stored in radians), percent for fractions.
  double userScale;
  // For reference types, the super class a target must have; 0 takes any target.
  SClass_ID accepts;
  // The type's name in the host's showProperties listing ("float", "RGB color", ...).
  const char* scriptType;
};

// The entry for a type (TYPE_TAB and the by-reference flags ignored), or null for a
// type the stand-in does not store.
const ParamTypeInfo* FindParamType(int type);
int BaseParamType(int type);

// A stored value as users see it, and back.
double ToUserValue(int type, double stored);
double FromUserValue(int type, double user);

// Whether a number is an int32 (integer parameters refuse anything else).
bool FitsInt32(double value);

}  // namespace maxhost
