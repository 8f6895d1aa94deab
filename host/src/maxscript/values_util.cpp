#include "maxscript/values_util.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <cwctype>

namespace maxhost::mxs {

namespace {
std::atomic<bool> g_print_all_elements{false};
}  // namespace

bool print_all_elements() {
  return g_print_all_elements.load(std::memory_order_relaxed);
}
void set_print_all_elements(bool all) {
  g_print_all_elements.store(all, std::memory_order_relaxed);
}

std::wstring printed(Value* v) {
  if (v == nullptr) return L"";
  std::wstring s;
  try {
    s = v->to_printed();
  } catch (MAXScriptException&) {
    s = L"<" + std::wstring(v->tag ? v->tag->name : L"Value") + L">";
  }
  if (s.size() > 4000) s = s.substr(0, 4000) + L"...";
  return s;
}

void put_text(CharStream* s, const std::wstring& text) {
  if (auto* memory = dynamic_cast<StringCharStream*>(s)) {
    memory->text += text;
    return;
  }
  for (std::size_t b = 0;;) {
    std::size_t e = text.find(L'\0', b);
    s->puts(text.substr(b, e == std::wstring::npos ? e : e - b).c_str());
    if (e == std::wstring::npos) return;
    b = e + 1;
  }
}

std::wstring sprinted(Value* v) {
  StringCharStream s;
  v->sprint(&s);
  return s.text;
}

std::wstring format_float(float f) {
  if (std::isnan(f)) return L"nan";
  if (std::isinf(f)) return f > 0 ? L"1e+030" : L"-1e+030";
  wchar_t buf[64];
  std::swprintf(buf, 64, L"%g", static_cast<double>(f));
  std::wstring s = buf;
  if (s.find_first_of(L".e") == std::wstring::npos) s += L".0";
  return s;
}

bool parse_number(const std::wstring& s, double& out, bool& is_integer) {
  std::size_t b = 0, e = s.size();
  while (b < e && std::iswspace(s[b])) ++b;
  while (e > b && std::iswspace(s[e - 1])) --e;
  if (b == e) return false;
  std::wstring t = s.substr(b, e - b);
  for (wchar_t c : t)
    if (!(std::iswdigit(c) || c == L'.' || c == L'-' || c == L'+' || c == L'e' || c == L'E'))
      return false;
  wchar_t* end = nullptr;
  out = std::wcstod(t.c_str(), &end);
  if (end == nullptr || *end != L'\0' || !std::isfinite(out)) return false;
  is_integer = t.find_first_of(L".eE") == std::wstring::npos;
  return true;
}

std::wstring format_component(float f) {
  std::wstring t = format_float(f);
  if (t.size() > 2 && t.compare(t.size() - 2, 2, L".0") == 0) t.resize(t.size() - 2);
  return t;
}

}  // namespace maxhost::mxs
