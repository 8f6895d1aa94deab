// Host heap operators and the string classes.
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <new>
#include <vector>

#include <maxheap.h>
#include <strclass.h>

#include "base/text.h"

void* MaxHeapOperators::operator new(std::size_t size) {
  return ::operator new(size);
}
void* MaxHeapOperators::operator new(std::size_t size, const std::nothrow_t& nt) noexcept {
  return ::operator new(size, nt);
}
void* MaxHeapOperators::operator new[](std::size_t size) {
  return ::operator new[](size);
}
void MaxHeapOperators::operator delete(void* ptr) noexcept {
  ::operator delete(ptr);
}
void MaxHeapOperators::operator delete(void* ptr, const std::nothrow_t&) noexcept {
  ::operator delete(ptr);
}
void MaxHeapOperators::operator delete[](void* ptr) noexcept {
  ::operator delete[](ptr);
}

namespace {

size_t NarrowLength(const char* s, size_t len) {
  if (!s) return 0;
  return len == static_cast<size_t>(-1) ? std::strlen(s) : len;
}

}  // namespace

// The stand-in's code page is UTF-8; bytes that are not UTF-8 are taken as Latin-1, the
// code page of Western Windows systems, so that text from such files still reads.
WStr WStr::FromACP(const char* s, size_t len) {
  const std::string_view bytes(s ? s : "", NarrowLength(s, len));
  std::wstring out = maxhost::WideFromUtf8(bytes);
  const bool malformed = out.find(L'\uFFFD') != std::wstring::npos &&
                         bytes.find("\xEF\xBF\xBD") == std::string_view::npos;
  if (!malformed) return WStr(out);
  out.clear();
  for (char c : bytes) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return WStr(out);
}

WStr WStr::FromUTF8(const char* s, size_t len) {
  return WStr(maxhost::WideFromUtf8(std::string_view(s ? s : "", NarrowLength(s, len))));
}

CStr WStr::ToUTF8() const {
  return CStr(maxhost::Utf8FromWide(mText));
}

WStr WStr::Substr(int start, int nchars) const {
  if (start < 0) start = 0;
  if (static_cast<size_t>(start) >= mText.size() || nchars <= 0) return WStr();
  return WStr(mText.substr(static_cast<size_t>(start), static_cast<size_t>(nchars)));
}

int WStr::first(wchar_t c) const {
  const size_t p = mText.find(c);
  return p == std::wstring::npos ? -1 : static_cast<int>(p);
}

int WStr::last(wchar_t c) const {
  const size_t p = mText.rfind(c);
  return p == std::wstring::npos ? -1 : static_cast<int>(p);
}

void WStr::toUpper() {
  for (auto& c : mText) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
}

void WStr::toLower() {
  mText = maxhost::FoldCase(mText);
}

int WStr::printf(const wchar_t* format, ...) {
  if (!format) {
    mText.clear();
    return 0;
  }
  std::vector<wchar_t> buf(256);
  for (;;) {
    va_list ap;
    va_start(ap, format);
    const int n = std::vswprintf(buf.data(), buf.size(), format, ap);
    va_end(ap);
    if (n >= 0) {
      mText.assign(buf.data(), static_cast<size_t>(n));
      return n;
    }
    if (buf.size() > (1u << 20)) {
      mText.clear();
      return -1;
    }
    buf.resize(buf.size() * 4);
  }
}
