// qrticket-view's process on Windows: wide file names, handles and the console's Ctrl+C.
#include "view_process.h"

#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <cerrno>

#include <iostream>

#include "devices/win/console_text.h"
#include "devices/win/win_errors.h"
#include "devices/win/wide_text.h"
#include "render_report.h"

namespace qrticket::viewer::cli {
namespace {

std::atomic<ListenServer*> g_server{nullptr};

// Runs on a thread of its own that the system starts for Ctrl+C and Ctrl+Break; the server
// ends its waits and draws what came. Closing the console keeps its default (the end).
BOOL WINAPI StopOnControl(DWORD event) {
  ListenServer* server = g_server.load();
  if (!server || (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)) return FALSE;
  server->Stop();
  return TRUE;
}

std::string WhyFailed(DWORD error) {
  const int posix = ErrnoForWindowsError(error);
  return posix != 0 ? say::SystemError(posix) : say::WindowsError(error);
}

// Reads `handle` to its end (or to the renderer's input bound) in pieces, drawing as it goes.
// Returns 0, or the Windows error of a failed read. A pipe whose writer has gone has ended.
DWORD DrawFrom(HANDLE handle, TicketRenderer& renderer) {
  char buffer[65536];
  for (;;) {
    DWORD n = 0;
    if (!::ReadFile(handle, buffer, sizeof buffer, &n, nullptr)) {
      const DWORD error = ::GetLastError();
      return error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF ? 0 : error;
    }
    if (n == 0) return 0;
    if (!renderer.Feed(BytesView(buffer, n))) {
      LARGE_INTEGER size{};
      if (::GetFileType(handle) == FILE_TYPE_DISK && ::GetFileSizeEx(handle, &size)) {
        renderer.SetInputSize(static_cast<std::uint64_t>(size.QuadPart));
      }
      return 0;
    }
  }
}

}  // namespace

// The messages reach a console as UTF-16 and a pipe or a file as UTF-8 bytes with CR LF line
// ends, as qrticket.exe's do (console_text.h): handed over by the C runtime, UTF-8 reaches a
// console byte by byte and shows garbled. The buffers live as long as the process.
void PrepareViewProcess() {
  ::SetConsoleOutputCP(CP_UTF8);
  static auto* out =
      new ConsoleTextBuffer(SystemCalls::Real(), ::GetStdHandle(STD_OUTPUT_HANDLE));
  static auto* err =
      new ConsoleTextBuffer(SystemCalls::Real(), ::GetStdHandle(STD_ERROR_HANDLE));
  std::cout.rdbuf(out);
  std::cerr.rdbuf(err);
}

std::vector<std::string> ViewArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv + 1, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Utf8FromWide(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

std::string DrawInput(const std::string& input, TicketRenderer& renderer) {
  if (input == "-") {
    const DWORD error = DrawFrom(::GetStdHandle(STD_INPUT_HANDLE), renderer);
    return error != 0 ? say::ReadFailed(input, WhyFailed(error)) : std::string();
  }
  const std::optional<std::wstring> name = WideFromUtf8(input);
  if (!name) return say::ReadFailed(input, say::SystemError(EINVAL));
  // A folder opens only with backup semantics; said as POSIX says it.
  const DWORD attributes = ::GetFileAttributesW(name->c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return say::ReadFailed(input, say::SystemError(EISDIR));
  }
  const HANDLE file = ::CreateFileW(name->c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return say::ReadFailed(input, WhyFailed(::GetLastError()));
  const DWORD error = DrawFrom(file, renderer);
  ::CloseHandle(file);
  return error != 0 ? say::ReadFailed(input, WhyFailed(error)) : std::string();
}

StopOnInterrupt::StopOnInterrupt(ListenServer& server) {
  g_server = &server;
  ::SetConsoleCtrlHandler(StopOnControl, TRUE);
}

StopOnInterrupt::~StopOnInterrupt() {
  ::SetConsoleCtrlHandler(StopOnControl, FALSE);
  g_server = nullptr;
}

}  // namespace qrticket::viewer::cli
