// The command line's process on Windows.
#include "process_setup.h"

#include <windows.h>
#include <shellapi.h>

#include "devices/win/console_text.h"

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

// The messages reach a console as UTF-16 (console_text.h); the code page is set as well for
// anything else the console shows on our behalf.
ProcessStart PrepareProcess() {
  ::SetConsoleOutputCP(CP_UTF8);
  const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  ProcessStart start;
  start.standardOutputClosed = out == nullptr || out == INVALID_HANDLE_VALUE;
  return start;
}

std::vector<std::string> Arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv + 1, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Utf8(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

// One stream per handle for the life of the process; never destroyed, so that a message
// written while the program ends still goes out.
std::ostream& StandardOutput() {
  static auto* buffer = new ConsoleTextBuffer(SystemCalls::Real(), ::GetStdHandle(STD_OUTPUT_HANDLE));
  static auto* stream = new std::ostream(buffer);
  return *stream;
}

std::ostream& StandardError() {
  static auto* buffer = new ConsoleTextBuffer(SystemCalls::Real(), ::GetStdHandle(STD_ERROR_HANDLE));
  static auto* stream = new std::ostream(buffer);
  return *stream;
}

}  // namespace qrticket::cli
