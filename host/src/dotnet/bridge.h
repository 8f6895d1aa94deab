// The script engine's .NET bridge: dotNetObject, dotNetClass, dotNetMXSValue, the dotNet
// and colorMan globals, value conversions both ways, and the collector's view of script
// values held by live .NET objects.
#pragma once

#include "dotnet/object.h"
#include "maxscript/maxscript.h"

namespace maxhost::dotnet {

// Starts the engine if needed, defines the bridge's globals and registers its root
// marker. Safe to call more than once.
void installBridge();

// Script value to .NET: undefined is null, integers Int32, floats Single, strings and
// names String, arrays untyped .NET arrays (typed when bound to a parameter), .NET
// wrappers their object. Anything else throws a script runtime error.
Value toDotNet(::Value* v);

// .NET value to script: null is undefined; Byte, Int16/32/64, UInt16/32 and Decimal
// (rounded half to even) are integers; Single and Double floats; String a string; arrays
// script arrays; everything else (objects, enums, dotNetMXSValue proxies) a wrapper.
::Value* toScript(const Value& v);

// The .NET object behind a script wrapper, or null.
ObjectPtr objectOf(::Value* v);

// The script value a dotNetMXSValue proxy holds, or nullptr when `o` is no proxy.
::Value* proxiedValue(const ObjectPtr& o);

// The fixed UI colours colorMan.getColor answers (components 0 to 1).
struct UiColor {
  float r, g, b;
};
bool hostUiColor(const std::wstring& name, UiColor& out);

}  // namespace maxhost::dotnet
