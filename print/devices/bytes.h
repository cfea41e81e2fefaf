// Byte strings as the printer receives them.
#pragma once

#include <string>
#include <string_view>

namespace qrticket {

// A run of Windows-1252 bytes: one byte per character, exactly as it leaves for the device.
// std::string is used for its small-string handling and because NUL is an ordinary byte in it.
using Bytes = std::string;
using BytesView = std::string_view;

}  // namespace qrticket
