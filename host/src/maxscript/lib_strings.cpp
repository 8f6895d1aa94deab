// String built-ins: substring, findString, filterString, trimLeft, trimRight,
// substituteString, replace, toUpper, toLower, matchPattern and stricmp. Comparisons that
// ignore case fold as the host's names do.
#include <cwctype>

#include "base/text.h"
#include "maxscript/heap.h"
#include "maxscript/lib_common.h"

namespace maxhost::mxs {
namespace {

// Iterative wildcard match ('*' any run, '?' one character) with backtracking on the last
// '*', so no pattern costs more than pattern length times text length.
bool wildcard(const wchar_t* p, const wchar_t* s, bool icase) {
  const wchar_t *star = nullptr, *resume = nullptr;
  while (*s) {
    wchar_t pc = icase ? FoldCase(*p) : *p, sc = icase ? FoldCase(*s) : *s;
    if (*p == L'*') {
      star = p++;
      resume = s;
    } else if (*p && (*p == L'?' || pc == sc)) {
      ++p;
      ++s;
    } else if (star) {
      p = star + 1;
      s = ++resume;
    } else {
      return false;
    }
  }
  while (*p == L'*') ++p;
  return *p == L'\0';
}

Value* fn_substring(Value** a, int n) {
  need_args(L"substring", a, n, 3);
  std::wstring s = need_string(a[0]);
  int start = need_int(a[1]), len = need_int(a[2]);
  if (start < 1) start = 1;
  if (start > static_cast<int>(s.size())) return new String(L"");
  std::size_t b = static_cast<std::size_t>(start - 1);
  std::size_t l = len < 0 ? std::wstring::npos : static_cast<std::size_t>(len);
  return new String(s.substr(b, l));
}

Value* fn_find_string(Value** a, int n) {
  need_args(L"findString", a, n, 2);
  std::wstring s = FoldCase(need_string(a[0])), t = FoldCase(need_string(a[1]));
  std::size_t p = s.find(t);
  return p == std::wstring::npos ? static_cast<Value*>(&undefined)
                                 : Integer::intern(static_cast<int>(p) + 1);
}

Value* fn_filter_string(Value** a, int n) {
  need_args(L"filterString", a, n, 2);
  std::wstring s = need_string(a[0]), delims = need_string(a[1]);
  bool keep_empty = key_bool(a, n, L"splitEmptyTokens", false);
  auto* out = new Array(0);
  TempRoots roots;
  roots.add(out);
  std::wstring cur;
  for (wchar_t c : s) {
    if (delims.find(c) != std::wstring::npos) {
      if (!cur.empty() || keep_empty) out->append(new String(cur));
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) out->append(new String(cur));
  return out;
}

Value* trim(Value** a, int n, bool left) {
  int np = positional_arg_count(a, n);
  if (np < 1 || np > 2) throw ArgCountError(left ? L"trimLeft" : L"trimRight", 1, np);
  std::wstring s = need_string(a[0]);
  std::wstring chars = np == 2 ? need_string(a[1]) : L" \t\r\n";
  if (left) {
    std::size_t b = s.find_first_not_of(chars);
    return new String(b == std::wstring::npos ? L"" : s.substr(b));
  }
  std::size_t e = s.find_last_not_of(chars);
  return new String(e == std::wstring::npos ? L"" : s.substr(0, e + 1));
}

Value* fn_trim_left(Value** a, int n) {
  return trim(a, n, true);
}

Value* fn_trim_right(Value** a, int n) {
  return trim(a, n, false);
}

Value* fn_substitute(Value** a, int n) {
  need_args(L"substituteString", a, n, 3);
  std::wstring s = need_string(a[0]), from = need_string(a[1]), to = need_string(a[2]);
  if (from.empty()) return new String(s);
  std::wstring out;
  std::size_t p = 0, q;
  while ((q = s.find(from, p)) != std::wstring::npos) {
    out += s.substr(p, q - p) + to;
    p = q + from.size();
  }
  out += s.substr(p);
  return new String(out);
}

Value* fn_replace(Value** a, int n) {
  need_args(L"replace", a, n, 4);
  std::wstring s = need_string(a[0]);
  int start = need_int(a[1]), len = need_int(a[2]);
  if (start < 1 || start > static_cast<int>(s.size()) + 1 || len < 0)
    throw RuntimeError(L"replace: index out of range: ", a[1]);
  s.replace(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(len), need_string(a[3]));
  return new String(s);
}

Value* fn_to_upper(Value** a, int n) {
  need_args(L"toUpper", a, n, 1);
  std::wstring s = need_string(a[0]);
  for (auto& c : s) c = static_cast<wchar_t>(std::towupper(c));
  return new String(s);
}

Value* fn_to_lower(Value** a, int n) {
  need_args(L"toLower", a, n, 1);
  std::wstring s = need_string(a[0]);
  for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return new String(s);
}

Value* fn_match_pattern(Value** a, int n) {
  need_args(L"matchPattern", a, n, 1);
  Value* pattern = get_key_arg(a, n, L"pattern");
  if (pattern == &unsupplied)
    throw RuntimeError(L"matchPattern needs pattern:", static_cast<Value*>(nullptr));
  std::wstring s = need_string(a[0]), p = need_string(pattern);
  return bool_result(wildcard(p.c_str(), s.c_str(), key_bool(a, n, L"ignoreCase", true)));
}

Value* fn_stricmp(Value** a, int n) {
  need_args(L"stricmp", a, n, 2);
  int c = CompareNoCase(need_string(a[0]), need_string(a[1]));
  return Integer::intern(c < 0 ? -1 : c > 0 ? 1 : 0);
}

}  // namespace

static const BuiltinEntry kStringsLibrary[] = {
    {L"substring", fn_substring},
    {L"findString", fn_find_string},
    {L"filterString", fn_filter_string},
    {L"trimLeft", fn_trim_left},
    {L"trimRight", fn_trim_right},
    {L"substituteString", fn_substitute},
    {L"replace", fn_replace},
    {L"toUpper", fn_to_upper},
    {L"toLower", fn_to_lower},
    {L"matchPattern", fn_match_pattern},
    {L"stricmp", fn_stricmp},
};

std::span<const BuiltinEntry> strings_library() {
  return kStringsLibrary;
}

}  // namespace maxhost::mxs
