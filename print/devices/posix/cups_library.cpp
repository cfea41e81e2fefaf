// Loads libcups once, with every function it must have; a library without one of them counts
// as missing rather than failing later in the middle of a job.
#include "devices/posix/cups_library.h"

#include <dlfcn.h>

#include "devices/device_failures.h"
#include "devices/posix/cups_failures.h"

namespace qrticket::cups {
namespace {

// The soname of Debian's libcups2 (and of every CUPS 2.x): the ABI these headers describe.
constexpr const char* kSoname = "libcups.so.2";

const Library* Load() {
  void* handle = dlopen(kSoname, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return nullptr;
  static Library library;
  bool complete = true;
#define QRTICKET_CUPS_LOOKUP(name)                                          \
  library.name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name)); \
  complete = complete && library.name != nullptr;
  QRTICKET_CUPS_FUNCTIONS(QRTICKET_CUPS_LOOKUP)
#undef QRTICKET_CUPS_LOOKUP
  if (complete) return &library;
  dlclose(handle);
  return nullptr;
}

}  // namespace

const Library* Loaded() {
  static const Library* const library = Load();
  return library;
}

const Library& Api() {
  if (const Library* library = Loaded()) return *library;
  throw failures::CupsNotInstalled();
}

}  // namespace qrticket::cups
