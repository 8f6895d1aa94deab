// Basic scalar types of the SDK. The Win32 types come from the stand-in windows.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "coreexp.h"
#include "strbasic.h"

#include <windows.h>

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
typedef INT_PTR StringResID;
typedef short FunctionID;
typedef int ResID;
typedef int FPStatus;
