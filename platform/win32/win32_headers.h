// <windows.h> for the Windows platform files, without the macros that would rename the
// program's own declarations of the same calls and constants (platform/platform.h).
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// platform/platform.h declares these with the same values; MessageBox is the program's
// interface for the message box, not the A/W switch.
#undef GWL_EXSTYLE
#undef WS_EX_LAYERED
#undef LWA_ALPHA
#undef MessageBox
