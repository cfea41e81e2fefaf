// Which Linux paths name a serial device that settings may follow.
#include <filesystem>
#include <system_error>

#include "devices/device_name.h"

namespace qrticket {
namespace {

bool InSerialFamily(std::string_view path) {
  // /dev/tty alone is the process's own terminal, and /dev/tty0 to /dev/tty63 are consoles.
  constexpr std::string_view kFamilies[] = {
      "/dev/ttyS",     "/dev/ttyUSB",   "/dev/ttyACM",        "/dev/ttyAMA",
      "/dev/rfcomm",   "/dev/serial/",  "/dev/pts/",          "/dev/ttymxc",
      "/dev/ttyTHS",   "/dev/ttyXRUSB", "/dev/ttyCH341USB"};
  for (const std::string_view family : kFamilies)
    if (path.starts_with(family) && path.size() > family.size()) return true;
  return false;
}

}  // namespace

bool NamesSerialTty(std::string_view path) {
  if (InSerialFamily(path)) return true;
  // A link to one (udev's /dev/printer, a link of the operator's own) is that device.
  std::error_code error;
  const std::filesystem::path name{std::string(path)};
  if (!std::filesystem::is_symlink(name, error)) return false;
  const auto target = std::filesystem::canonical(name, error);
  return !error && InSerialFamily(target.string());
}

}  // namespace qrticket
