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

// Decodes UTF-8; returns false (leaving out unspecified) when the bytes are not UTF-8.
bool DecodeUtf8(const unsigned char* s, size_t n, std::wstring& out) {
  out.clear();
  size_t i = 0;
  while (i < n) {
    unsigned c = s[i];
    int extra = 0;
    unsigned cp = 0;
    if (c < 0x80) {
      cp = c;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (extra > 0 && i + static_cast<size_t>(extra) >= n) return false;
    for (int k = 1; k <= extra; ++k) {
      const unsigned cc = s[i + static_cast<size_t>(k)];
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (cp > 0x10FFFF) return false;
    out.push_back(static_cast<wchar_t>(cp));
    i += static_cast<size_t>(extra) + 1;
  }
  return true;
}

size_t NarrowLength(const char* s, size_t len) {
  if (!s) return 0;
  return len == static_cast<size_t>(-1) ? std::strlen(s) : len;
}

}  // namespace

WStr WStr::FromACP(const char* s, size_t len) {
  const size_t n = NarrowLength(s, len);
  std::wstring out;
  if (n && DecodeUtf8(reinterpret_cast<const unsigned char*>(s), n, out)) return WStr(out);
  out.clear();
  for (size_t i = 0; i < n; ++i)
    out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(s[i])));
  return WStr(out);
}

WStr WStr::FromUTF8(const char* s, size_t len) {
  return FromACP(s, len);
}

CStr WStr::ToUTF8() const {
  std::string out;
  for (wchar_t wc : mText) {
    const unsigned cp = static_cast<unsigned>(wc);
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | ((cp >> 18) & 0x07)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return CStr(out);
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
  for (auto& c : mText) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
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
