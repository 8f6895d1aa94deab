#pragma once
// Setting a map's parameters by script name from command-line text, as a script would:
// lists take comma-separated values, angles are given in degrees, colours as R,G,B.

#include <string>

class IParamBlock2;

namespace tilvara_app {

// Throws AppError naming the assignment ("--set NAME=VALUE") when the name is unknown, the
// value does not parse, lies outside the parameter's range
// or the parameter holds maps (those come from --texture and --sub). The block itself
// clamps nothing: only the command line refuses out-of-range values.
void SetParameter(IParamBlock2* block, const std::string& name, const std::string& value);

}  // namespace tilvara_app
