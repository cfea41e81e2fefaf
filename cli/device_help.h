// The help text's words that differ by platform: the device names, what --list-devices and
// --timeout cover (CUPS on Linux only) and the signals behind the exit codes (device_help.cpp
// on Linux, win/device_help.cpp on Windows).
#pragma once

namespace qrticket::cli {

extern const char* const kDeviceHelp;
extern const char* const kListDevicesHelp;
extern const char* const kTimeoutHelp;
// The end of the exit codes' list: 128+N and the signals that give it.
extern const char* const kSignalExitHelp;

}  // namespace qrticket::cli
