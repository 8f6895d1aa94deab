// Basic scalar types of the SDK. The Win32 types come from the stand-in windows.h;
// a minimal set is defined here only while no windows.h is on the include path.
#pragma once

#include <cstddef>
#include <cstdint>

#include "coreexp.h"
#include "strbasic.h"

#if __has_include(<windows.h>)
#include <windows.h>
#else
typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned short USHORT;
typedef unsigned int UINT;
typedef unsigned long ULONG;
typedef unsigned int DWORD;
typedef int LONG;
typedef std::intptr_t INT_PTR;
typedef std::uintptr_t UINT_PTR;
typedef std::intptr_t LONG_PTR;
typedef std::uintptr_t ULONG_PTR;
typedef std::uintptr_t DWORD_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef void* LPVOID;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
typedef struct tagBITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
} BITMAPINFOHEADER;
typedef struct tagRGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
} RGBQUAD;
typedef struct tagBITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
} BITMAPINFO;
#endif

#ifndef NULL
#define NULL 0
#endif

// Time in ticks (4800 per second).
typedef int TimeValue;
#define TIME_TICKSPERSEC 4800
#define TIME_NegInfinity TimeValue(0x80000000)
#define TIME_PosInfinity TimeValue(0x7fffffff)

typedef ULONG SClass_ID;
typedef unsigned int RefMessage;
typedef ULONG_PTR PartID;

enum IOResult { IO_OK = 0, IO_END = 1, IO_ERROR = 2 };

typedef short BlockID;
typedef short ParamID;
typedef short MapID;
typedef int StringResID;
typedef int FunctionID;
typedef int ResID;
typedef int FPStatus;
