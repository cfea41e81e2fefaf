// Windows errors sorted into the failures of the catalogue, so the operator reads the same
// Portuguese descriptions as on Linux.
#pragma once

#include <windows.h>

#include <string_view>

#include "devices/device_failures.h"

namespace qrticket {

// The errno value whose description fits a Windows (or Winsock) error, or 0 when none does.
int ErrnoForWindowsError(DWORD error);

// The failure for a Windows error, naming the device as the operator typed it. A port
// (`heldPort`) that refuses access is held by another program: Windows says "access denied"
// where Linux says "busy". An error without an errno of its own keeps Windows' number and
// message.
PrintFailure FromWindowsError(DWORD error, std::string_view device, failures::Stage stage,
                              bool heldPort = false);

}  // namespace qrticket
