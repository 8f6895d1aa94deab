// Parser of the script language: tokens to a Program. Errors carry line and column; the
// parser recovers at the next top-level line so that one mistake reports once.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "maxscript/ast.h"

namespace maxhost::mxs {

struct SyntaxError {
  int line = 0;
  int column = 0;
  int position = 0;
  std::wstring message;    // "at <token>, expected <what>"
  std::wstring line_text;  // the source line
};

struct ParseResult {
  std::shared_ptr<Program> program;
  std::vector<SyntaxError> errors;
};

// Nesting deeper than this is a syntax error ("expression too deeply nested").
constexpr int kMaxParseNesting = 96;
constexpr int kMaxTreeDepth = 600;

ParseResult parse_program(const std::wstring& text, const std::wstring& source_name);

}  // namespace maxhost::mxs
