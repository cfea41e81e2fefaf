// File names travel through the program in UTF-8 on both platforms; std::filesystem would read
// a narrow string, and write one, in the Windows code page instead.
#pragma once

#include <filesystem>
#include <string>

namespace qrticket::viewer {

inline std::filesystem::path PathFromUtf8(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace qrticket::viewer
