// File built-ins: the parts of a path (getFilenamePath, getFilenameFile,
// getFilenameType, filenameFromPath), doesFileExist, and fileIn, which runs a script file
// in the global scope. Script files are read only when they are regular files of a
// bounded size, so a FIFO or a device never blocks or floods the engine.
#include <filesystem>

#include "base/text.h"
#include "maxscript/engine.h"
#include "maxscript/interp.h"
#include "maxscript/lib_common.h"
#include "maxscript/parser.h"

namespace maxhost::mxs {
namespace {

enum class PathPart { Folder, Stem, Extension, FileName };

Value* path_part(const wchar_t* fn, Value** a, int n, PathPart part) {
  need_args(fn, a, n, 1);
  std::wstring s = need_string(a[0]);
  std::size_t slash = s.find_last_of(L"\\/");
  std::wstring file = slash == std::wstring::npos ? s : s.substr(slash + 1);
  std::wstring dir = slash == std::wstring::npos ? L"" : s.substr(0, slash + 1);
  std::size_t dot = file.find_last_of(L'.');
  switch (part) {
    case PathPart::Folder:
      return new String(dir);
    case PathPart::Stem:
      return new String(dot == std::wstring::npos ? file : file.substr(0, dot));
    case PathPart::Extension:
      return new String(dot == std::wstring::npos ? L"" : file.substr(dot));
    case PathPart::FileName:
      break;
  }
  return new String(file);
}

Value* fn_filename_path(Value** a, int n) {
  return path_part(L"getFilenamePath", a, n, PathPart::Folder);
}
Value* fn_filename_file(Value** a, int n) {
  return path_part(L"getFilenameFile", a, n, PathPart::Stem);
}
Value* fn_filename_type(Value** a, int n) {
  return path_part(L"getFilenameType", a, n, PathPart::Extension);
}
Value* fn_filename_from_path(Value** a, int n) {
  return path_part(L"filenameFromPath", a, n, PathPart::FileName);
}

Value* fn_does_file_exist(Value** a, int n) {
  need_args(L"doesFileExist", a, n, 1);
  std::error_code ec;
  return bool_result(std::filesystem::exists(Utf8FromWide(need_string(a[0])), ec));
}

// `fileIn "x.ms"`: the file's expressions run in the global scope; a syntax error ends
// the run as an error of the caller.
Value* fn_file_in(Value** a, int n) {
  need_args(L"fileIn", a, n, 1);
  const std::wstring path = need_string(a[0]);
  std::wstring text;
  std::string why;
  if (!read_script_file(Utf8FromWide(path), text, why))
    throw RuntimeError(L"fileIn cannot read the file: ", WideFromUtf8(why).c_str());
  ParseResult parsed = parse_program(text, path);
  if (!parsed.errors.empty())
    throw MAXScriptException(L"Syntax error: " + parsed.errors.front().message);
  eval_program(parsed.program);
  return &ok;
}

}  // namespace

static const BuiltinEntry kFilesLibrary[] = {
    {L"getFilenamePath", fn_filename_path}, {L"getFilenameFile", fn_filename_file},
    {L"getFilenameType", fn_filename_type}, {L"filenameFromPath", fn_filename_from_path},
    {L"doesFileExist", fn_does_file_exist}, {L"fileIn", fn_file_in},
};

std::span<const BuiltinEntry> files_library() {
  return kFilesLibrary;
}

}  // namespace maxhost::mxs
