// Names travel through the program in UTF-8; the Win32 calls take UTF-16.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace qrticket {

// `utf8` in UTF-16; nullopt when it is not valid UTF-8 or holds a NUL.
std::optional<std::wstring> WideFromUtf8(std::string_view utf8);

// `wide` in UTF-8 (an unpaired surrogate becomes U+FFFD).
std::string Utf8FromWide(std::wstring_view wide);

// Windows' own description of `error` in UTF-8, without the line break it ends with; empty
// when the system has none.
std::string SystemMessage(DWORD error);

}  // namespace qrticket
