// --text-file on Windows: the file read whole with ReadFile, within the same byte bound. A pipe
// or device is read until it ends; it is not watched for stalls here.
#include "text_file.h"

#include <windows.h>

#include <cerrno>

#include "devices/win/wide_text.h"
#include "devices/win/win_errors.h"

namespace qrticket::cli {
namespace {

TextFileRead Failed(DWORD error) {
  TextFileRead read;
  read.status = TextFileRead::Status::Unreadable;
  read.error = ErrnoForWindowsError(error);
  if (read.error == 0) read.error = EIO;
  return read;
}

}  // namespace

TextFileRead ReadTextFile(const std::string& path, std::chrono::milliseconds, int) {
  const std::optional<std::wstring> wide = WideFromUtf8(path);
  if (!wide) return Failed(ERROR_INVALID_NAME);
  const DWORD attributes = ::GetFileAttributesW(wide->c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    TextFileRead read;
    read.status = TextFileRead::Status::Unreadable;
    read.error = EISDIR;
    return read;
  }
  const HANDLE file = ::CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Failed(::GetLastError());
  TextFileRead read;
  char buffer[64 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
      const DWORD error = ::GetLastError();
      if (error == ERROR_BROKEN_PIPE) break;  // the writer of a pipe has finished
      ::CloseHandle(file);
      return Failed(error);
    }
    if (got == 0) break;
    read.bytes.append(buffer, got);
    if (read.bytes.size() > kMaxTextFileBytes) {
      read.status = TextFileRead::Status::TooLong;
      break;
    }
  }
  ::CloseHandle(file);
  return read;
}

}  // namespace qrticket::cli
