// The plug-in release that a host year's build carries: 2.01 for the hosts up to 2015 (SDK
// major 17), 2.04 from 2017. Chosen from the SDK's own version macro so that the same source
// selects the right release against a real SDK.
#pragma once

#include <maxversion.h>

#if MAX_VERSION_MAJOR <= 17
#define TILVARA_RELEASE 201
#else
#define TILVARA_RELEASE 204
#endif
