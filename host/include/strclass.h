// Host string classes. WStr holds wide text (MSTR/TSTR are the SDK's names for it);
// CStr holds narrow text.
#pragma once

#include <cstddef>
#include <string>

#include "maxheap.h"
#include "strbasic.h"

class CoreExport CStr : public MaxHeapOperators {
 public:
  CStr() = default;
  CStr(const char* s) : mText(s ? s : "") {}
  CStr(const std::string& s) : mText(s) {}
  const char* data() const { return mText.c_str(); }
  operator const char*() const { return mText.c_str(); }
  int Length() const { return static_cast<int>(mText.size()); }
  bool isNull() const { return mText.empty(); }
  bool operator==(const CStr& o) const { return mText == o.mText; }
  bool operator!=(const CStr& o) const { return mText != o.mText; }

 private:
  std::string mText;
};

class CoreExport WStr : public MaxHeapOperators {
 public:
  WStr() = default;
  WStr(const wchar_t* s) : mText(s ? s : L"") {}
  WStr(const std::wstring& s) : mText(s) {}
  WStr(const WStr&) = default;
  WStr(WStr&&) noexcept = default;
  WStr& operator=(const WStr&) = default;
  WStr& operator=(WStr&&) noexcept = default;
  WStr& operator=(const wchar_t* s) {
    mText = s ? s : L"";
    return *this;
  }

  // Converts text in the active code page (here: Latin-1 bytes, or UTF-8 when it is valid
  // UTF-8). len < 0 (the default) means up to the terminating NUL.
  static WStr FromACP(const char* s, size_t len = static_cast<size_t>(-1));
  static WStr FromUTF8(const char* s, size_t len = static_cast<size_t>(-1));
  CStr ToUTF8() const;
  CStr ToACP() const { return ToUTF8(); }

  const wchar_t* data() const { return mText.c_str(); }
  const wchar_t* ToMCHAR() const { return mText.c_str(); }
  operator const wchar_t*() const { return mText.c_str(); }
  int Length() const { return static_cast<int>(mText.size()); }
  int length() const { return Length(); }
  bool isNull() const { return mText.empty(); }
  void Resize(int n) { mText.resize(n < 0 ? 0 : static_cast<size_t>(n)); }
  wchar_t& operator[](int i) { return mText[static_cast<size_t>(i)]; }
  wchar_t operator[](int i) const { return mText[static_cast<size_t>(i)]; }
  WStr Substr(int start, int nchars) const;
  int first(wchar_t c) const;
  int last(wchar_t c) const;
  void toUpper();
  void toLower();
  int printf(const wchar_t* format, ...);

  WStr& operator+=(const WStr& o) {
    mText += o.mText;
    return *this;
  }
  WStr& operator+=(const wchar_t* o) {
    mText += o ? o : L"";
    return *this;
  }
  WStr operator+(const WStr& o) const { return WStr(mText + o.mText); }
  bool operator==(const WStr& o) const { return mText == o.mText; }
  bool operator!=(const WStr& o) const { return mText != o.mText; }
  bool operator==(const wchar_t* o) const { return mText == (o ? o : L""); }
  bool operator!=(const wchar_t* o) const { return !(*this == o); }
  bool operator<(const WStr& o) const { return mText < o.mText; }
  const std::wstring& str() const { return mText; }

 private:
  std::wstring mText;
};

typedef WStr MSTR;
typedef WStr TSTR;
