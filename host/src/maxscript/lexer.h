// Tokens of the script language.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace maxhost::mxs {

enum class Tok {
  End,
  Newline,
  Integer,
  Float,
  String,
  Name,  // #name
  Ident,
  Keyword,    // text lower-cased
  HashParen,  // #(
  LParen,
  RParen,
  LBracket,
  RBracket,
  Comma,
  Semicolon,
  Colon,
  DoubleColon,
  Dot,
  DotDot,     // .. in bit array ranges
  HashBrace,  // #{
  RBrace,
  Path,   // $name, $'quoted', $Box*, $a/b; text: the path after $
  Time,   // 10f, 1.5s, 2m3s; fval: frames
  Op,     // + - * / ^ == != < <= > >= = += -= *= /=
  Other,  // ? $ & @ and stray characters
  Error,  // lexical error; text holds the message
};
constexpr std::size_t kTokKinds = static_cast<std::size_t>(Tok::Error) + 1;

struct Token {
  Tok kind = Tok::End;
  std::wstring text;
  int ival = 0;
  float fval = 0;
  int line = 1;
  int column = 1;
  int position = 0;
  bool space_before = false;  // whitespace, a comment or a line start precedes it
  bool line_start = false;    // first token of its line
};

std::vector<Token> tokenize(const std::wstring& src);
bool is_keyword(const std::wstring& lower);

}  // namespace maxhost::mxs
