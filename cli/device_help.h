// The device names the help text lists: each platform's own (device_help.cpp on Linux,
// win/device_help.cpp on Windows).
#pragma once

namespace qrticket::cli {

extern const char* const kDeviceHelp;

}  // namespace qrticket::cli
