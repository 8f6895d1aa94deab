#include "maxscript/lexer.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cmath>
#include <cwctype>

#include "base/text.h"

namespace maxhost::mxs {
namespace {

const wchar_t* const kKeywords[] = {
    L"and",   L"as",     L"by",  L"case",  L"catch",    L"collect", L"continue",  L"do",
    L"else",  L"exit",   L"fn",  L"for",   L"function", L"global",  L"if",        L"in",
    L"local", L"mapped", L"not", L"of",    L"or",       L"return",  L"struct",    L"then",
    L"throw", L"to",     L"try", L"where", L"while",    L"with",    L"persistent"};

// Letters beyond ASCII (accented Latin, Greek, Cyrillic, CJK) name variables as in the
// host; punctuation, symbol and space blocks do not.
bool non_ascii_letter(wchar_t c) {
  auto u = static_cast<std::uint32_t>(c);
  if (u < 0xC0) return false;
  if (u == 0xD7 || u == 0xF7) return false;
  if (u >= 0x2000 && u <= 0x2BFF) return false;
  if (u >= 0x3000 && u <= 0x303F) return false;
  if (u >= 0xD800 && u <= 0xDFFF) return false;
  if (u >= 0xFE30 && u <= 0xFE4F) return false;
  if (u >= 0xFF00 && u <= 0xFF20) return false;
  return u != 0xFEFF && u != 0xFFFD;
}
bool ident_start(wchar_t c) {
  return c == L'_' || (c < 0x80 && std::iswalpha(c)) || non_ascii_letter(c);
}
bool ident_char(wchar_t c) {
  return ident_start(c) || (c < 0x80 && std::iswdigit(c));
}

class Lexer {
 public:
  explicit Lexer(const std::wstring& s) : src_(s) {}

  std::vector<Token> run() {
    bool space = true;
    bool line_start = true;
    while (true) {
      space |= skip_blanks_and_comments();
      if (i_ >= src_.size()) break;
      wchar_t c = src_[i_];
      // The host reads a script file as a C string: a NUL between tokens ends the script
      // (inside a string literal it is a character of the string).
      if (c == L'\0') break;
      if (c == L'\r' || c == L'\n') {
        Token t = start(Tok::Newline, space, line_start);
        newline();
        tokens_.push_back(t);
        space = true;
        line_start = true;
        continue;
      }
      if (c == L'\\' && continuation()) {
        space = true;
        continue;
      }
      lex_one(space, line_start);
      space = false;
      line_start = false;
    }
    Token end = start(Tok::End, true, line_start);
    tokens_.push_back(end);
    return std::move(tokens_);
  }

 private:
  const std::wstring& src_;
  std::size_t i_ = 0;
  int line_ = 1;
  std::size_t line_begin_ = 0;
  std::vector<Token> tokens_;

  wchar_t at(std::size_t k) const { return k < src_.size() ? src_[k] : L'\0'; }

  Token start(Tok kind, bool space, bool line_start) const {
    Token t;
    t.kind = kind;
    t.line = line_;
    t.column = static_cast<int>(i_ - line_begin_) + 1;
    t.position = static_cast<int>(i_);
    t.space_before = space;
    t.line_start = line_start;
    return t;
  }

  void newline() {
    if (src_[i_] == L'\r' && at(i_ + 1) == L'\n') ++i_;
    ++i_;
    ++line_;
    line_begin_ = i_;
  }

  // Returns whether anything was skipped.
  bool skip_blanks_and_comments() {
    bool skipped = false;
    while (i_ < src_.size()) {
      wchar_t c = src_[i_];
      if (c == L' ' || c == L'\t' || c == L'\f' || c == L'\v' || c == 0xFEFF) {
        ++i_;
      } else if (c == L'-' && at(i_ + 1) == L'-') {
        while (i_ < src_.size() && src_[i_] != L'\n' && src_[i_] != L'\r') ++i_;
      } else if (c == L'/' && at(i_ + 1) == L'*') {
        i_ += 2;
        while (i_ < src_.size() && !(src_[i_] == L'*' && at(i_ + 1) == L'/')) {
          if (src_[i_] == L'\r' || src_[i_] == L'\n')
            newline();
          else
            ++i_;
        }
        i_ = i_ < src_.size() ? i_ + 2 : i_;
      } else {
        break;
      }
      skipped = true;
    }
    return skipped;
  }

  // A backslash followed only by blanks or a comment up to the line end joins the lines.
  bool continuation() {
    std::size_t k = i_ + 1;
    while (k < src_.size() && (src_[k] == L' ' || src_[k] == L'\t')) ++k;
    if (k + 1 < src_.size() && src_[k] == L'-' && src_[k + 1] == L'-')
      while (k < src_.size() && src_[k] != L'\n' && src_[k] != L'\r') ++k;
    if (k < src_.size() && src_[k] != L'\n' && src_[k] != L'\r') return false;
    i_ = k;
    if (i_ < src_.size()) newline();
    return true;
  }

  void lex_one(bool space, bool line_start) {
    Token t = start(Tok::Other, space, line_start);
    wchar_t c = src_[i_];
    wchar_t n = at(i_ + 1);
    if (std::iswdigit(c) || (c == L'.' && std::iswdigit(n) && (operand_may_start() || space))) {
      lex_number(t);
    } else if (ident_start(c)) {
      std::size_t b = i_;
      while (i_ < src_.size() && ident_char(src_[i_])) ++i_;
      t.text = src_.substr(b, i_ - b);
      std::wstring lw = FoldCase(t.text);
      if (is_keyword(lw)) {
        t.kind = Tok::Keyword;
        t.text = lw;
      } else {
        t.kind = Tok::Ident;
      }
    } else if (c == L'\'') {
      std::size_t b = ++i_;
      while (i_ < src_.size() && src_[i_] != L'\'' && src_[i_] != L'\n') ++i_;
      if (at(i_) != L'\'') {
        t.kind = Tok::Error;
        t.text = L"unterminated quoted name";
      } else {
        t.kind = Tok::Ident;
        t.text = src_.substr(b, i_ - b);
        ++i_;
      }
    } else if (c == L'"' || (c == L'@' && n == L'"')) {
      lex_string(t, c == L'@');
    } else if (c == L'#') {
      ++i_;
      if (at(i_) == L'(') {
        ++i_;
        t.kind = Tok::HashParen;
      } else if (at(i_) == L'{') {
        ++i_;
        t.kind = Tok::HashBrace;
      } else if (ident_start(at(i_)) || std::iswdigit(at(i_))) {
        std::size_t b = i_;
        while (i_ < src_.size() && ident_char(src_[i_])) ++i_;
        t.kind = Tok::Name;
        t.text = src_.substr(b, i_ - b);
      } else if (at(i_) == L'\'') {
        std::size_t b = ++i_;
        while (i_ < src_.size() && src_[i_] != L'\'' && src_[i_] != L'\n') ++i_;
        t.kind = at(i_) == L'\'' ? Tok::Name : Tok::Error;
        t.text = t.kind == Tok::Name ? src_.substr(b, i_ - b) : L"unterminated quoted name";
        if (t.kind == Tok::Name) ++i_;
      } else {
        t.kind = Tok::Other;
        t.text = L"#";
      }
    } else if (c == L'$') {
      lex_path(t);
    } else {
      lex_punct(t, c, n);
    }
    tokens_.push_back(std::move(t));
  }

  // $ alone is the selection; a path may hold wildcards, '...' levels, quoted names
  // and / between hierarchy levels.
  void lex_path(Token& t) {
    ++i_;
    t.kind = Tok::Path;
    std::wstring path;
    while (i_ < src_.size()) {
      wchar_t c = src_[i_];
      if (ident_char(c) || c == L'*' || c == L'?') {
        path += c;
        ++i_;
      } else if (c == L'\'') {
        std::size_t b = ++i_;
        while (i_ < src_.size() && src_[i_] != L'\'' && src_[i_] != L'\n') ++i_;
        if (at(i_) != L'\'') {
          t.kind = Tok::Error;
          t.text = L"unterminated quoted name";
          return;
        }
        path += src_.substr(b, i_ - b);
        ++i_;
      } else if (c == L'/' && (ident_char(at(i_ + 1)) || at(i_ + 1) == L'\'' ||
                               at(i_ + 1) == L'*' || at(i_ + 1) == L'?' || at(i_ + 1) == L'.')) {
        path += c;
        ++i_;
      } else if (c == L'.' && at(i_ + 1) == L'.' && at(i_ + 2) == L'.') {
        path += L"...";
        i_ += 3;
      } else {
        break;
      }
    }
    t.text = path;
  }

  // A time unit letter right after a number: m(inutes), s(econds), f(rames), t(icks).
  bool time_unit_here() const {
    wchar_t u = FoldCase(at(i_));
    if (u != L'm' && u != L's' && u != L'f' && u != L't') return false;
    return !ident_char(at(i_ + 1)) || std::iswdigit(at(i_ + 1));
  }

  // Frames at the host's default 30 frames per second and 160 ticks per frame.
  void lex_time(Token& t, double first, std::size_t b) {
    double frames = 0;
    double num = first;
    while (true) {
      wchar_t u = FoldCase(src_[i_]);
      ++i_;
      frames += num * (u == L'm' ? 1800.0 : u == L's' ? 30.0 : u == L'f' ? 1.0 : 1.0 / 160.0);
      if (!std::iswdigit(at(i_))) break;
      std::size_t nb = i_;
      while (i_ < src_.size() && std::iswdigit(src_[i_])) ++i_;
      if (at(i_) == L'.' && std::iswdigit(at(i_ + 1))) {
        ++i_;
        while (i_ < src_.size() && std::iswdigit(src_[i_])) ++i_;
      }
      num = std::wcstod(src_.substr(nb, i_ - nb).c_str(), nullptr);
      if (!time_unit_here()) {
        t.kind = Tok::Error;
        t.text = L"bad time literal";
        return;
      }
    }
    t.kind = Tok::Time;
    t.fval = static_cast<float>(frames);
    t.text = src_.substr(b, i_ - b);
  }

  // An SMPTE time m:s.f (minutes, seconds, frames) right after the minutes' digits, written
  // without spaces; `1:2` without the frames stays a case label.
  bool smpte_here() const {
    if (at(i_) != L':' || !std::iswdigit(at(i_ + 1))) return false;
    std::size_t k = i_ + 1;
    while (std::iswdigit(at(k))) ++k;
    return at(k) == L'.' && std::iswdigit(at(k + 1));
  }

  void lex_smpte(Token& t, std::size_t b) {
    double minutes = std::wcstod(src_.substr(b, i_ - b).c_str(), nullptr);
    std::size_t sb = ++i_;
    while (std::iswdigit(at(i_))) ++i_;
    double seconds = std::wcstod(src_.substr(sb, i_ - sb).c_str(), nullptr);
    std::size_t fb = ++i_;
    while (std::iswdigit(at(i_))) ++i_;
    double frames = std::wcstod(src_.substr(fb, i_ - fb).c_str(), nullptr);
    t.kind = Tok::Time;
    t.fval = static_cast<float>(minutes * 1800.0 + seconds * 30.0 + frames);
    t.text = src_.substr(b, i_ - b);
  }

  bool operand_may_start() const {
    if (tokens_.empty()) return true;
    Tok k = tokens_.back().kind;
    return !(k == Tok::Ident || k == Tok::RParen || k == Tok::RBracket || k == Tok::Integer ||
             k == Tok::Float || k == Tok::String || k == Tok::Name || k == Tok::Path ||
             k == Tok::Time || k == Tok::RBrace);
  }

  void lex_number(Token& t) {
    std::size_t b = i_;
    if (src_[i_] == L'0' && (at(i_ + 1) == L'x' || at(i_ + 1) == L'X') &&
        std::iswxdigit(at(i_ + 2))) {
      i_ += 2;
      unsigned long long v = 0;
      while (i_ < src_.size() && std::iswxdigit(src_[i_])) {
        v = (v << 4) |
            static_cast<unsigned>(std::iswdigit(src_[i_]) ? src_[i_] - L'0'
                                                          : FoldCase(src_[i_]) - L'a' + 10);
        if (v > 0xFFFFFFFFull) v = 0xFFFFFFFFull;
        ++i_;
      }
      t.kind = Tok::Integer;
      t.ival = static_cast<int>(static_cast<unsigned>(v));
      t.text = src_.substr(b, i_ - b);
      return;
    }
    bool is_float = false;
    while (i_ < src_.size() && std::iswdigit(src_[i_])) ++i_;
    if (smpte_here()) {
      lex_smpte(t, b);
      return;
    }
    if (at(i_) == L'.' && !ident_start(at(i_ + 1)) && at(i_ + 1) != L'.') {
      is_float = true;
      ++i_;
      while (i_ < src_.size() && std::iswdigit(src_[i_])) ++i_;
    }
    // 1.5e3 and the double-precision form 1.5d3.
    wchar_t ex = FoldCase(at(i_));
    if ((ex == L'e' || ex == L'd') &&
        (std::iswdigit(at(i_ + 1)) ||
         ((at(i_ + 1) == L'-' || at(i_ + 1) == L'+') && std::iswdigit(at(i_ + 2))))) {
      is_float = true;
      i_ += 2;
      while (i_ < src_.size() && std::iswdigit(src_[i_])) ++i_;
    }
    t.text = src_.substr(b, i_ - b);
    std::wstring digits = t.text;
    std::replace_if(
        digits.begin(), digits.end(), [](wchar_t ch) { return ch == L'd' || ch == L'D'; }, L'e');
    double d = std::wcstod(digits.c_str(), nullptr);
    if (time_unit_here()) {
      lex_time(t, d, b);
      return;
    }
    if (!is_float && d <= INT_MAX) {
      t.kind = Tok::Integer;
      t.ival = static_cast<int>(d);
    } else {
      t.kind = Tok::Float;
      t.fval = static_cast<float>(d);
    }
    // 5L (a 64-bit integer) and 5P (a pointer-sized one) keep their suffix in the text.
    if (!is_float && (at(i_) == L'L' || at(i_) == L'P')) t.text += src_[i_++];
  }

  // \x followed by hex digits (as many as follow, as in C) is that character; a bare \x
  // stays as written.
  void hex_escape(std::wstring& out) {
    if (!std::iswxdigit(at(i_))) {
      out += L"\\x";
      return;
    }
    std::uint32_t v = 0;
    bool too_big = false;
    while (i_ < src_.size() && std::iswxdigit(src_[i_])) {
      wchar_t h = src_[i_];
      v = (v << 4) |
          static_cast<std::uint32_t>(std::iswdigit(h) ? h - L'0' : FoldCase(h) - L'a' + 10);
      if (v > 0x10FFFF) {
        too_big = true;
        v = 0;
      }
      ++i_;
    }
    if (too_big) v = 0xFFFD;
    if (v == 0 || (v >= 0xD800 && v <= 0xDFFF)) v = 0xFFFD;
    if (v > 0xFFFF && sizeof(wchar_t) == 2) {
      v -= 0x10000;
      out += static_cast<wchar_t>(0xD800 + (v >> 10));
      out += static_cast<wchar_t>(0xDC00 + (v & 0x3FF));
      return;
    }
    out += static_cast<wchar_t>(v);
  }

  void lex_string(Token& t, bool verbatim) {
    if (verbatim) ++i_;
    ++i_;
    std::wstring out;
    while (true) {
      if (i_ >= src_.size()) {
        t.kind = Tok::Error;
        t.text = L"unterminated string";
        return;
      }
      wchar_t c = src_[i_];
      if (c == L'"') {
        ++i_;
        break;
      }
      if (c == L'\r' || c == L'\n') {
        if (c == L'\r' && at(i_ + 1) == L'\n') {
          out += L'\r';
          ++i_;
        }
        out += src_[i_];
        ++i_;
        ++line_;
        line_begin_ = i_;
        continue;
      }
      if (c == L'\\' && !verbatim && i_ + 1 < src_.size()) {
        wchar_t e = src_[i_ + 1];
        i_ += 2;
        switch (e) {
          case L'n':
            out += L'\n';
            break;
          case L'r':
            out += L'\r';
            break;
          case L't':
            out += L'\t';
            break;
          case L'"':
            out += L'"';
            break;
          case L'\\':
            out += L'\\';
            break;
          case L'%':
            out += L'%';
            break;
          case L'*':
            out += L'*';
            break;
          case L'?':
            out += L'?';
            break;
          case L'x':
            hex_escape(out);
            break;
          default:
            out += L'\\';
            out += e;
        }
        continue;
      }
      out += c;
      ++i_;
    }
    t.kind = Tok::String;
    t.text = std::move(out);
  }

  void lex_punct(Token& t, wchar_t c, wchar_t n) {
    ++i_;
    t.text = std::wstring(1, c);
    switch (c) {
      case L'(':
        t.kind = Tok::LParen;
        return;
      case L')':
        t.kind = Tok::RParen;
        return;
      case L'[':
        t.kind = Tok::LBracket;
        return;
      case L']':
        t.kind = Tok::RBracket;
        return;
      case L',':
        t.kind = Tok::Comma;
        return;
      case L';':
        t.kind = Tok::Semicolon;
        return;
      case L'.':
        if (n == L'.') {
          ++i_;
          t.kind = Tok::DotDot;
          t.text = L"..";
        } else {
          t.kind = Tok::Dot;
        }
        return;
      case L'}':
        t.kind = Tok::RBrace;
        return;
      case L':':
        if (n == L':') {
          ++i_;
          t.kind = Tok::DoubleColon;
          t.text = L"::";
        } else {
          t.kind = Tok::Colon;
        }
        return;
      case L'+':
      case L'-':
      case L'*':
      case L'/':
      case L'=':
      case L'<':
      case L'>':
        t.kind = Tok::Op;
        if (n == L'=') {
          ++i_;
          t.text += L'=';
        }
        return;
      case L'^':
        t.kind = Tok::Op;
        return;
      case L'!':
        if (n == L'=') {
          ++i_;
          t.kind = Tok::Op;
          t.text = L"!=";
          return;
        }
        break;
      default:
        break;
    }
    t.kind = Tok::Other;
  }
};

}  // namespace

bool is_keyword(const std::wstring& lw) {
  for (const wchar_t* k : kKeywords)
    if (lw == k) return true;
  return false;
}

std::vector<Token> tokenize(const std::wstring& src) {
  return Lexer(src).run();
}

}  // namespace maxhost::mxs
