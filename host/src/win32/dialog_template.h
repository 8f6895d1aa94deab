// Dialog templates (RT_DIALOG) as plain values, both the extended form
// (DLGTEMPLATEEX, what DIALOGEX compiles to) and the classic one.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "win32/res_file.h"

namespace maxhost {

struct DialogControl {
  std::uint32_t help_id = 0;
  std::uint32_t ex_style = 0;
  std::uint32_t style = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;
  std::int32_t id = 0;  // -1 for controls without an identifier
  ResId window_class;   // ordinal (0x0080 Button ... 0x0085 ComboBox) or a class name
  ResId text;           // a string, or an ordinal (the resource id of an image)
  std::vector<std::uint8_t> creation_data;

  // The class as a name: ordinals map to the system class names ("Button", "Static", ...).
  std::wstring ClassName() const;
  bool IsClass(const wchar_t* name) const;  // without regard to case
};

struct DialogTemplate {
  bool extended = false;
  std::uint32_t help_id = 0;
  std::uint32_t ex_style = 0;
  std::uint32_t style = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;
  ResId menu;          // empty name when there is none
  ResId window_class;  // empty name when there is none
  std::wstring title;
  bool has_font = false;
  std::uint16_t point_size = 0;
  std::uint16_t weight = 0;
  std::uint8_t italic = 0;
  std::uint8_t charset = 0;
  std::wstring typeface;
  std::vector<DialogControl> controls;

  const DialogControl* FindControl(std::int32_t id) const;
};

struct DialogParseResult {
  bool ok = false;
  DialogTemplate dialog;
  std::string error;  // "ParseDialogTemplate: ..." when !ok
};

DialogParseResult ParseDialogTemplate(std::span<const std::uint8_t> bytes);

}  // namespace maxhost
