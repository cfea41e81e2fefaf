// The command line's process on Windows.
#include "process_setup.h"

#include <windows.h>
#include <shellapi.h>

namespace qrticket::cli {
namespace {

std::string Utf8(const wchar_t* wide) {
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return {};
  std::string utf8(static_cast<std::size_t>(length - 1), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

}  // namespace

// Messages are written in UTF-8; a console shows them right only with its output code page set
// to UTF-8. Redirected output gets the UTF-8 bytes either way.
void PrepareProcess() { ::SetConsoleOutputCP(CP_UTF8); }

std::vector<std::string> Arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv + 1, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Utf8(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

}  // namespace qrticket::cli
