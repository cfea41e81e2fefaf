// Whether the operator may write to a device file, and which group would let them.
#pragma once

#include <filesystem>
#include <string>

namespace qrticket {

struct DeviceAccess {
  bool writable = false;
  // When the user may not write: a group whose members may (its name, e.g. "lp" or
  // "dialout"); empty when no group grants writing, or the file cannot be examined.
  std::string group;
};

// Asks the system with this process's effective identity (root may write anything), so the
// answer matches what opening the file would meet.
DeviceAccess AccessOf(const std::filesystem::path& node);

}  // namespace qrticket
