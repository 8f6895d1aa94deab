// The version of the host whose SDK these headers present. The build chooses the host year
// (MAXHOST_SDK_YEAR, set by the build from TILVARA_MAX_VERSION); a real SDK fixes these numbers
// in its own copy of this header.
#pragma once

#ifndef MAXHOST_SDK_YEAR
#define MAXHOST_SDK_YEAR 2020
#endif

#if MAXHOST_SDK_YEAR == 2012
#define MAX_VERSION_MAJOR 14
#elif MAXHOST_SDK_YEAR == 2013
#define MAX_VERSION_MAJOR 15
#elif MAXHOST_SDK_YEAR == 2015
#define MAX_VERSION_MAJOR 17
#elif MAXHOST_SDK_YEAR == 2017
#define MAX_VERSION_MAJOR 19
#elif MAXHOST_SDK_YEAR == 2018
#define MAX_VERSION_MAJOR 20
#elif MAXHOST_SDK_YEAR == 2019
#define MAX_VERSION_MAJOR 21
#elif MAXHOST_SDK_YEAR == 2020
#define MAX_VERSION_MAJOR 22
#elif MAXHOST_SDK_YEAR == 2021
#define MAX_VERSION_MAJOR 23
#elif MAXHOST_SDK_YEAR == 2022
#define MAX_VERSION_MAJOR 24
#elif MAXHOST_SDK_YEAR == 2023
#define MAX_VERSION_MAJOR 25
#elif MAXHOST_SDK_YEAR == 2024
#define MAX_VERSION_MAJOR 26
#elif MAXHOST_SDK_YEAR == 2025
#define MAX_VERSION_MAJOR 27
#elif MAXHOST_SDK_YEAR == 2026
#define MAX_VERSION_MAJOR 28
#else
#error "MAXHOST_SDK_YEAR names a host year whose SDK these headers do not present"
#endif

#define MAX_VERSION_MINOR 0
#define MAX_VERSION_POINT 0
#define MAX_PRODUCT_YEAR_NUMBER MAXHOST_SDK_YEAR
