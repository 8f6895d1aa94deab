#include "parameters.h"

#include <cmath>
#include <vector>

#include "app_error.h"
#include "arguments.h"
#include "iparamb2.h"

namespace tilvara_app {
namespace {

bool ParseBool(const std::string& text) {
  if (text == "1" || text == "true" || text == "on") return true;
  if (text == "0" || text == "false" || text == "off") return false;
  throw ArgumentError("'" + text + "' is not a boolean (1, 0, true, false, on, off)");
}

int ParseInt32(const std::string& text) {
  const long long v = ParseInteger(text);
  if (v < INT32_MIN || v > INT32_MAX) throw ArgumentError("'" + text + "' is beyond 32 bits");
  return static_cast<int>(v);
}

// Sets one value (a list entry when index >= 0) of the given base type.
void SetOne(IParamBlock2* block, ParamID id, int baseType, const std::vector<std::string>& parts,
            int index) {
  const int tab = index < 0 ? 0 : index;
  switch (baseType) {
    case TYPE_FLOAT:
    case TYPE_PCNT_FRAC:
    case TYPE_WORLD:
      block->SetValue(id, 0, static_cast<float>(ParseNumber(parts.at(0))), tab);
      return;
    case TYPE_ANGLE:
      block->SetValue(id, 0, static_cast<float>(ParseNumber(parts.at(0)) * M_PI / 180.0), tab);
      return;
    case TYPE_INT:
    case TYPE_INDEX:
    case TYPE_RADIOBTN_INDEX:
    case TYPE_TIMEVALUE:
      block->SetValue(id, 0, ParseInt32(parts.at(0)), tab);
      return;
    case TYPE_BOOL:
      block->SetValue(id, 0, ParseBool(parts.at(0)) ? 1 : 0, tab);
      return;
    case TYPE_RGBA:
    case TYPE_POINT3: {
      if (parts.size() != 3) throw ArgumentError("a colour takes three values R,G,B");
      const Color c(static_cast<float>(ParseNumber(parts[0])), static_cast<float>(ParseNumber(parts[1])),
                    static_cast<float>(ParseNumber(parts[2])));
      block->SetValue(id, 0, c, tab);
      return;
    }
    case TYPE_STRING:
    case TYPE_FILENAME:
      block->SetValue(id, 0, Widen(parts.at(0)).c_str(), tab);
      return;
    default:
      throw ArgumentError("this parameter cannot be set from the command line");
  }
}

}  // namespace

void SetParameter(IParamBlock2* block, const std::string& name, const std::string& value) {
  ParamBlockDesc2* desc = block->GetDesc();
  const std::wstring wname = Widen(name);
  const int index = desc->NameToIndex(wname.c_str());
  if (index < 0) throw AppError(name, "no such parameter");
  const ParamDef& def = desc->paramdefs[static_cast<size_t>(index)];
  const int type = static_cast<int>(def.type);
  const int baseType = type & ~TYPE_TAB;
  if (baseType == TYPE_TEXMAP || baseType == TYPE_MTL || baseType == TYPE_INODE ||
      baseType == TYPE_REFTARG)
    throw AppError(name, "holds maps or objects; give sub-textures with --texture or --sub");
  try {
    const auto parts = SplitList(value);
    if (type & TYPE_TAB) {
      block->SetCount(def.ID, static_cast<int>(parts.size()));
      for (size_t i = 0; i < parts.size(); ++i)
        SetOne(block, def.ID, baseType, {parts[i]}, static_cast<int>(i));
    } else {
      if (parts.empty()) throw ArgumentError("no value given");
      if (baseType != TYPE_RGBA && baseType != TYPE_POINT3 && parts.size() != 1)
        throw ArgumentError("'" + value + "' is a list, but the parameter holds one value");
      SetOne(block, def.ID, baseType, parts, -1);
    }
  } catch (const ArgumentError& e) {
    throw AppError(name, e.what());
  }
}

}  // namespace tilvara_app
