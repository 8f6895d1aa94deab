// Generic-text mappings of a Unicode build: every TCHAR string is wide. On Windows this
// is the platform's own header.
#pragma once

#if defined(_WIN32)
#include_next <tchar.h>
#else

#include <cwchar>

#ifndef __T
#define __T(x) L##x
#endif
#ifndef _T
#define _T(x) __T(x)
#endif
#ifndef _TEXT
#define _TEXT(x) __T(x)
#endif
#ifndef TEXT
#define TEXT(x) __T(x)
#endif

#ifndef _tcslen
#define _tcslen wcslen
#define _tcscpy wcscpy
#define _tcsncpy wcsncpy
#define _tcscat wcscat
#define _tcscmp wcscmp
#define _tcsncmp wcsncmp
#define _tcschr wcschr
#define _tcsrchr wcsrchr
#define _tcsstr wcsstr
#define _stprintf swprintf
#endif

#endif  // _WIN32
