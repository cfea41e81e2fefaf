// Windows' C library has no error numbers of its own that a device meets, and no quota error
// (see errno_words.h); its system errors are sorted in win_errors.cpp.
#include "devices/errno_words.h"

namespace qrticket::failures {

std::span<const ErrnoWords> PlatformErrnoWords() { return {}; }

bool IsQuotaExceeded(int) { return false; }

}  // namespace qrticket::failures
