// The system's device folder (/dev) holds device nodes made by the kernel: a name there that
// does not exist is a missing device, never a file to create.
#pragma once

#include <string>

namespace qrticket {

// True when open(path, O_CREAT) would create a new file in the device folder: decided on where
// the file would really land, so "//dev/x", "/./dev/x", a relative name while the working
// folder is /dev, a folder that links into /dev and a dangling symbolic link pointing there
// all count. File systems mounted below /dev (/dev/shm, /dev/pts) are file systems of their own
// and do not count. False as well when the path exists or cannot be looked at (open then says
// why).
bool WouldCreateInDeviceFolder(const std::string& path);

}  // namespace qrticket
