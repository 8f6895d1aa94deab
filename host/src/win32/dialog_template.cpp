#include "win32/dialog_template.h"

#include "base/text.h"

namespace maxhost {

namespace {

// Bounds-checked little-endian reader; the first failure sticks.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool ok() const { return ok_; }
  std::size_t pos() const { return pos_; }
  const std::string& what() const { return what_; }

  std::uint32_t U(int width, const char* field) {
    if (!ok_) return 0;
    if (pos_ + width > bytes_.size()) return Fail(field);
    std::uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i) v = (v << 8) | bytes_[pos_ + i];
    pos_ += width;
    return v;
  }
  std::uint16_t U16(const char* field) { return static_cast<std::uint16_t>(U(2, field)); }
  std::uint32_t U32(const char* field) { return U(4, field); }
  std::int16_t S16(const char* field) { return static_cast<std::int16_t>(U16(field)); }
  std::uint8_t U8(const char* field) { return static_cast<std::uint8_t>(U(1, field)); }

  std::wstring String(const char* field) {
    std::u16string units;
    while (ok_) {
      const std::uint16_t u = U16(field);
      if (!ok_ || u == 0) break;
      units.push_back(static_cast<char16_t>(u));
    }
    return WideFromUtf16(units);
  }
  // sz_Or_Ord: 0x0000 none, 0xFFFF then an ordinal, else a string.
  ResId SzOrOrd(const char* field) {
    if (!ok_) return {};
    if (pos_ + 2 > bytes_.size()) {
      Fail(field);
      return {};
    }
    const std::uint16_t first = static_cast<std::uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
    if (first == 0xFFFF) {
      pos_ += 2;
      return ResId::Ordinal(U16(field));
    }
    return ResId::Name(String(field));
  }
  void Bytes(std::size_t count, std::vector<std::uint8_t>& out, const char* field) {
    if (!ok_) return;
    if (pos_ + count > bytes_.size()) {
      Fail(field);
      return;
    }
    out.assign(bytes_.begin() + pos_, bytes_.begin() + pos_ + count);
    pos_ += count;
  }
  void Align4() { pos_ = (pos_ + 3) & ~static_cast<std::size_t>(3); }

 private:
  std::uint32_t Fail(const char* field) {
    if (ok_) what_ = std::string(field) + " runs past the end at byte " + std::to_string(pos_);
    ok_ = false;
    return 0;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  bool ok_ = true;
  std::string what_;
};

constexpr std::uint32_t kDsSetFont = 0x40;
constexpr std::uint32_t kDsShellFont = 0x48;

}  // namespace

std::wstring DialogControl::ClassName() const {
  if (!window_class.is_ordinal) return window_class.name;
  switch (window_class.ordinal) {
    case 0x0080:
      return L"Button";
    case 0x0081:
      return L"Edit";
    case 0x0082:
      return L"Static";
    case 0x0083:
      return L"ListBox";
    case 0x0084:
      return L"ScrollBar";
    case 0x0085:
      return L"ComboBox";
    default:
      return window_class.ToString();
  }
}

bool DialogControl::IsClass(const wchar_t* name) const {
  return EqualsNoCase(ClassName(), name);
}

const DialogControl* DialogTemplate::FindControl(std::int32_t id) const {
  for (const DialogControl& c : controls)
    if (c.id == id) return &c;
  return nullptr;
}

DialogParseResult ParseDialogTemplate(std::span<const std::uint8_t> bytes) {
  DialogParseResult result;
  Reader r(bytes);
  DialogTemplate& d = result.dialog;
  const std::uint16_t version = r.U16("dlgVer");
  const std::uint16_t signature = r.U16("signature");
  if (!r.ok()) {
    result.error = "ParseDialogTemplate: " + r.what();
    return result;
  }
  d.extended = version == 1 && signature == 0xFFFF;
  Reader head(bytes);
  if (d.extended) {
    head.U32("dlgVer and signature");
    d.help_id = head.U32("helpID");
    d.ex_style = head.U32("exStyle");
    d.style = head.U32("style");
  } else {
    d.style = head.U32("style");
    d.ex_style = head.U32("exStyle");
  }
  const std::uint16_t count = head.U16("cDlgItems");
  d.x = head.S16("x");
  d.y = head.S16("y");
  d.cx = head.S16("cx");
  d.cy = head.S16("cy");
  d.menu = head.SzOrOrd("menu");
  d.window_class = head.SzOrOrd("windowClass");
  d.title = head.String("title");
  if (d.style & (kDsSetFont | kDsShellFont)) {
    d.has_font = true;
    d.point_size = head.U16("pointsize");
    if (d.extended) {
      d.weight = head.U16("weight");
      d.italic = head.U8("italic");
      d.charset = head.U8("charset");
    }
    d.typeface = head.String("typeface");
  }
  for (std::uint16_t i = 0; i < count && head.ok(); ++i) {
    head.Align4();
    DialogControl c;
    if (d.extended) {
      c.help_id = head.U32("item helpID");
      c.ex_style = head.U32("item exStyle");
      c.style = head.U32("item style");
    } else {
      c.style = head.U32("item style");
      c.ex_style = head.U32("item exStyle");
    }
    c.x = head.S16("item x");
    c.y = head.S16("item y");
    c.cx = head.S16("item cx");
    c.cy = head.S16("item cy");
    if (d.extended) {
      c.id = static_cast<std::int32_t>(head.U32("item id"));
    } else {
      c.id = static_cast<std::int16_t>(head.U16("item id"));
    }
    c.window_class = head.SzOrOrd("item windowClass");
    c.text = head.SzOrOrd("item title");
    const std::uint16_t extra = head.U16("item extraCount");
    head.Bytes(extra, c.creation_data, "item creation data");
    if (head.ok()) d.controls.push_back(std::move(c));
  }
  if (!head.ok()) {
    result.error = "ParseDialogTemplate: " + head.what();
    result.dialog = DialogTemplate{};
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace maxhost
