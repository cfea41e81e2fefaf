// Inside the device layer: the error numbers only one platform's C library has, with their
// words, and the sorting that depends on them. Each platform defines these in its folder
// (posix/errno_words.cpp, win/errno_words.cpp).
#pragma once

#include <span>

namespace qrticket::failures {

struct ErrnoWords {
  int number;
  const char* words;
};

// The words for this platform's own error numbers, beside the ones both C libraries have.
std::span<const ErrnoWords> PlatformErrnoWords();

// True for this platform's "disk quota exceeded", which reads as a full disk.
bool IsQuotaExceeded(int error);

}  // namespace qrticket::failures
