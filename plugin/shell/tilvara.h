// Library-wide services of Tilvara.dlt: the module handle and the resource strings.
#pragma once

#include <max.h>

// The library's own module; null until the operating system has attached the library.
extern HINSTANCE hInstance;

// Text of string resource `id`, in one buffer shared by every call: the next call
// overwrites it, so copy the text before loading another. Null without a module handle
// or when the string table has no such id.
MCHAR* GetString(int id);

// The one class descriptor of the library. Constructed on first use, so that the
// parameter block and interface descriptors, which register themselves with it while
// the library loads, always find it built.
class ClassDesc2;
ClassDesc2* GetPavimoDesc();
