// Debug assertions. The stand-in reports every failed DbgAssert, in every build: the
// host it stands in for is the kind that plug-ins are tested against, whose assertions
// are on. A failed assertion is reported and counted, and execution goes on, so code
// after an assertion must stay well defined when the assertion fails.
#pragma once

#include "coreexp.h"

// Reports a failed assertion (standard error, and the host's count of failures) and
// returns TRUE, so that the assertion macros can be used inside expressions.
UtilExport int assert1(int line, const char* file, const char* function = nullptr,
                       const char* expr = nullptr);
UtilExport int assert1(int line, const wchar_t* file, const wchar_t* function = nullptr,
                       const wchar_t* expr = nullptr);

#define MAX_ASSERTS_ACTIVE
#define DbgAssert(expr) (void((expr) || assert1(__LINE__, __FILE__, __func__, #expr)))
#define DbgVerify(expr) ((expr) || (assert1(__LINE__, __FILE__, __func__, #expr), false))
