// Script errors. Each carries the listener's text ("Unknown property: ..."); the engine
// adds where it occurred as it propagates.
#pragma once

#include <string>

#include <maxversion.h>

#include "../../strclass.h"
#include "value.h"

class ScripterExport MAXScriptException {
 public:
  MAXScriptException();
  explicit MAXScriptException(std::wstring msg);
  virtual ~MAXScriptException();
  // Writes "-- <message>".
  virtual void sprin1(CharStream* s);
  const std::wstring& message() const { return message_; }

  // Where it happened; filled by the engine (line 0 when unknown).
  std::wstring source_file;
  std::wstring function_name;
  int source_line = 0;
  int source_column = 0;
  int source_position = -1;

 protected:
  std::wstring message_;
};

class ScripterExport RuntimeError : public MAXScriptException {
 public:
  explicit RuntimeError(const MCHAR* s, Value* v = nullptr);
  RuntimeError(const MCHAR* s1, const MCHAR* s2);
};
class ScripterExport TypeError : public MAXScriptException {
 public:
  TypeError(const MCHAR* s, Value* v);
};
class ScripterExport ConversionError : public MAXScriptException {
 public:
  ConversionError(Value* v, const MCHAR* type_name);
};
class ScripterExport NoMethodError : public MAXScriptException {
 public:
  NoMethodError(const MCHAR* fn, Value* v);
};
class ScripterExport AccessorError : public MAXScriptException {
 public:
  AccessorError(Value* obj, Value* prop);
};
class ScripterExport ArgCountError : public MAXScriptException {
 public:
  ArgCountError(const MCHAR* fn, int wanted, int got);
};
// A value thrown by a script with `throw`.
class ScripterExport UserThrownError : public MAXScriptException {
 public:
  UserThrownError(std::wstring msg, Value* v);
  Value* thrown;
};
// A failure that is not a script error (a C++ exception, an access violation). The host
// builds it with what it knows about the failure; the default constructor is for the
// host's own translator and stops a debug build of the host (DbgAssert) when anything else
// uses it, so the stand-in marks it and code outside the host must not call it.
class ScripterExport UnknownSystemException : public MAXScriptException {
 public:
  [[deprecated(
      "asserts in the host: construct it with (skip levels, "
      "information)")]] UnknownSystemException();
  UnknownSystemException(int skipFirstNStackLevels, const MSTR& info)
      : MAXScriptException(L"Unknown system exception"), information_(info.data()) {
    (void)skipFirstNStackLevels;
  }
  const std::wstring& GetAdditionalExceptionInformation() const { return information_; }

 private:
  std::wstring information_;
};

#if MAX_VERSION_MAJOR >= 19
// Reports a script error: the listener text, and a message box (MessageBoxW with the
// caption) when displayErrorMessageBox is set and quietErrors is not.
#if MAX_VERSION_MAJOR >= 28
ScripterExport void ProcessMAXScriptException(MAXScriptException& e, const MSTR& caption,
                                              bool displayErrorMessageBox, bool showSourcePosition,
                                              bool isTerminalHandling, bool quietErrors = false);
#else
ScripterExport void ProcessMAXScriptException(MAXScriptException& e, const MCHAR* caption,
                                              bool displayErrorMessageBox, bool showSourcePosition,
                                              bool isTerminalHandling, bool quietErrors = false);
#endif
#endif
