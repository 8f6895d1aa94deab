// Small helpers over values shared by the engine's sources.
#pragma once

#include <string>

#include "maxscript/maxscript.h"
#include "maxscript/maxwrapper/mxsobjects.h"

namespace maxhost::mxs {

// sprin1 / sprint forms as strings; long forms are cut for error messages.
std::wstring printed(Value* v);
std::wstring sprinted(Value* v);
// The host's float form: up to six significant digits, always with a decimal point.
std::wstring format_float(float f);
// A component of a point or colour: the float form without a trailing ".0" ([1,2.5,0]).
std::wstring format_component(float f);
// Parses a whole string (blanks around allowed) as a number.
bool parse_number(const std::wstring& s, double& out, bool& is_integer);

void check_stack();

// `options.printAllElements` (also `with printAllElements`): when false, an array prints its
// first kPrintedElements elements and then "...", in print, `as string` and the listener.
constexpr int kPrintedElements = 20;
bool print_all_elements();
void set_print_all_elements(bool all);

// Writes text to a stream whole: a NUL inside it does not end it (CharStream::puts takes
// C strings, so other streams get the pieces between NULs).
void put_text(CharStream* s, const std::wstring& text);

}  // namespace maxhost::mxs
