#pragma once

// The Windows headers without the macros that clash with standard C++ (min, max) and without
// the rarely used services that slow every build.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
