// The seam under the system calls the device channel makes, one per platform: tests override
// a call or two to inject failures without hardware.
#pragma once

#ifdef _WIN32
#include "devices/win/system_calls.h"
#else
#include "devices/posix/system_calls.h"
#endif
