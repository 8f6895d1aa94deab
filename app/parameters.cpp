#include "parameters.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "app_error.h"
#include "arguments.h"
#include "base/param_types.h"
#include "base/text.h"
#include "iparamb2.h"

namespace tilvara_app {
namespace {

using maxhost::CommandLineForm;

bool ParseBool(const std::string& text) {
  if (text == "1" || text == "true" || text == "on") return true;
  if (text == "0" || text == "false" || text == "off") return false;
  throw ArgumentError("'" + text + "' is not a boolean (1, 0, true, false, on, off)");
}

// Integers are given in decimal; a whole number that does not fit 32 bits is refused
// rather than wrapped or zeroed.
int ParseInt32(const std::string& text) {
  double v = 0;
  try {
    v = static_cast<double>(ParseInteger(text));
  } catch (const ArgumentError&) {
    v = ParseNumber(text);  // still refuses text that is no number at all
    if (v != std::floor(v)) throw ArgumentError("'" + text + "' is not an integer");
  }
  if (!maxhost::FitsInt32(v)) throw ArgumentError("'" + text + "' is beyond 32 bits");
  return static_cast<int>(v);
}

std::string FormatBound(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", v);
  return buffer;
}

// The block's p_range is given in the units users see (degrees, percent), as the rollout
// shows it; the command line refuses what lies outside instead of clamping.
void CheckRange(const ParamDef& def, double user) {
  if (!def.has_range) return;
  const double low = def.range_low.f, high = def.range_high.f;
  if (user < low || user > high)
    throw ArgumentError("out of range " + FormatBound(low) + " to " + FormatBound(high));
}

// Sets one value (a list entry when index >= 0) as the parameter type's command-line form
// reads it; numbers are converted from the users' units to the stored ones.
void SetOne(IParamBlock2* block, const ParamDef& def, const std::vector<std::string>& parts,
            int index) {
  const int tab = index < 0 ? 0 : index;
  const int type = static_cast<int>(def.type);
  const maxhost::ParamTypeInfo* info = maxhost::FindParamType(type);
  switch (info ? info->commandLine : CommandLineForm::None) {
    case CommandLineForm::Number: {
      const double user = ParseNumber(parts.at(0));
      CheckRange(def, user);
      block->SetValue(def.ID, 0, static_cast<float>(maxhost::FromUserValue(type, user)), tab);
      return;
    }
    case CommandLineForm::Integer: {
      const int value = ParseInt32(parts.at(0));
      CheckRange(def, value);
      block->SetValue(def.ID, 0, value, tab);
      return;
    }
    case CommandLineForm::Boolean:
      block->SetValue(def.ID, 0, ParseBool(parts.at(0)) ? 1 : 0, tab);
      return;
    case CommandLineForm::Triple: {
      if (parts.size() != 3) throw ArgumentError("a colour takes three values R,G,B");
      const Color c(static_cast<float>(ParseNumber(parts[0])),
                    static_cast<float>(ParseNumber(parts[1])),
                    static_cast<float>(ParseNumber(parts[2])));
      block->SetValue(def.ID, 0, c, tab);
      return;
    }
    case CommandLineForm::Text:
      block->SetValue(def.ID, 0, maxhost::WideFromUtf8(parts.at(0)).c_str(), tab);
      return;
    case CommandLineForm::None:
      break;
  }
  throw ArgumentError("this parameter cannot be set from the command line");
}

}  // namespace

void SetParameter(IParamBlock2* block, const std::string& name, const std::string& value) {
  const std::string what = "--set " + name + "=" + value;
  ParamBlockDesc2* desc = block->GetDesc();
  const std::wstring wname = maxhost::WideFromUtf8(name);
  const int index = desc->NameToIndex(wname.c_str());
  if (index < 0) throw AppError(what, "no such parameter");
  const ParamDef& def = desc->paramdefs[static_cast<size_t>(index)];
  const int type = static_cast<int>(def.type);
  const maxhost::ParamTypeInfo* info = maxhost::FindParamType(type);
  if (info && info->storage == maxhost::ParamStorage::Reference)
    throw AppError(what, "holds maps or objects; give sub-textures with --texture or --sub");
  try {
    const auto parts = SplitList(value);
    if (type & TYPE_TAB) {
      block->SetCount(def.ID, static_cast<int>(parts.size()));
      for (size_t i = 0; i < parts.size(); ++i) SetOne(block, def, {parts[i]}, static_cast<int>(i));
    } else {
      if (parts.empty()) throw ArgumentError("no value given");
      if (info && info->commandLine != CommandLineForm::Triple && parts.size() != 1)
        throw ArgumentError("'" + value + "' is a list, but the parameter holds one value");
      SetOne(block, def, parts, -1);
    }
  } catch (const ArgumentError& e) {
    throw AppError(what, e.what());
  }
}

}  // namespace tilvara_app
