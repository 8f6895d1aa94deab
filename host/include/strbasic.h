// Character type of the SDK: every string that crosses the host boundary is wide.
#pragma once

typedef wchar_t MCHAR;
typedef char MCHAR_NARROW;

#ifndef _M
#define _M(x) L##x
#endif
#ifndef _T
#define _T(x) L##x
#endif
