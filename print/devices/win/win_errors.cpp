// The table from Windows errors to the catalogue's failures.
#include "devices/win/win_errors.h"

#include <winsock2.h>

#include <cerrno>

#include "devices/win/wide_text.h"

namespace qrticket {
namespace {

struct ErrorMeaning {
  DWORD windows;
  int posix;
};

// Only errors a device, file, socket or printer open or write can meet; anything else is
// quoted with Windows' own message.
constexpr ErrorMeaning kMeanings[] = {
    {ERROR_FILE_NOT_FOUND, ENOENT},
    {ERROR_PATH_NOT_FOUND, ENOENT},
    {ERROR_INVALID_DRIVE, ENOENT},
    {ERROR_BAD_NETPATH, ENOENT},
    {ERROR_BAD_NET_NAME, ENOENT},
    {ERROR_INVALID_PRINTER_NAME, ENOENT},  // OpenPrinter: no printer of that name
    {ERROR_ACCESS_DENIED, EACCES},
    {ERROR_SHARING_VIOLATION, EBUSY},  // another program has the file or device open
    {ERROR_LOCK_VIOLATION, EBUSY},
    {ERROR_BUSY, EBUSY},
    {ERROR_PIPE_BUSY, EBUSY},
    {ERROR_DRIVE_LOCKED, EBUSY},
    {ERROR_WRITE_PROTECT, EROFS},
    {ERROR_NOT_READY, ENXIO},
    {ERROR_DEVICE_NOT_CONNECTED, ENXIO},
    {ERROR_BAD_UNIT, ENODEV},
    {ERROR_DEV_NOT_EXIST, ENODEV},
    {ERROR_INVALID_NAME, EINVAL},
    {ERROR_BAD_PATHNAME, EINVAL},
    {ERROR_INVALID_PARAMETER, EINVAL},
    {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG},
    {ERROR_DISK_FULL, ENOSPC},
    {ERROR_HANDLE_DISK_FULL, ENOSPC},
    {ERROR_FILE_TOO_LARGE, EFBIG},
    {ERROR_BROKEN_PIPE, EPIPE},  // the reader of a pipe went away
    {ERROR_NO_DATA, EPIPE},
    {ERROR_PIPE_NOT_CONNECTED, EPIPE},
    {ERROR_NETNAME_DELETED, ECONNRESET},  // a shared printer's connection dropped
    {ERROR_CRC, EIO},
    {ERROR_WRITE_FAULT, EIO},
    {ERROR_GEN_FAILURE, EIO},  // a USB or parallel printer that stopped answering
    {ERROR_OUT_OF_PAPER, EIO},
    {ERROR_IO_DEVICE, EIO},
    {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
    {ERROR_OUTOFMEMORY, ENOMEM},
    {ERROR_NO_SYSTEM_RESOURCES, ENOMEM},
    {WSAECONNRESET, ECONNRESET},
    {WSAECONNABORTED, ECONNABORTED},
    {WSAENETRESET, ECONNRESET},
    {WSAENOTCONN, ENOTCONN},
    {WSAESHUTDOWN, EPIPE},
    {WSAETIMEDOUT, ETIMEDOUT},  // the stack gave up retransmitting to the printer
    {WSAENETUNREACH, ENETUNREACH},
    {WSAEHOSTUNREACH, EHOSTUNREACH},
    {WSAENETDOWN, ENETDOWN},
    {WSAEADDRNOTAVAIL, EADDRNOTAVAIL},
    {WSAEAFNOSUPPORT, EAFNOSUPPORT},
    {WSAEACCES, EACCES},
    {WSAENOBUFS, ENOMEM},
};

}  // namespace

int ErrnoForWindowsError(DWORD error) {
  for (const ErrorMeaning& meaning : kMeanings)
    if (meaning.windows == error) return meaning.posix;
  return 0;
}

PrintFailure FromWindowsError(DWORD error, std::string_view device, failures::Stage stage,
                              bool heldPort) {
  const int posix = heldPort && error == ERROR_ACCESS_DENIED ? EBUSY : ErrnoForWindowsError(error);
  // An error we have words for is said in them, as on Linux, with Windows' number beside them
  // (Windows has no text at all for some, such as Winsock's); any other is quoted as Windows
  // says it.
  const std::string detail =
      posix != 0 ? failures::SystemErrorText(posix) + "; " + failures::WindowsErrorDetail(error, {})
                 : failures::WindowsErrorDetail(error, SystemMessage(error));
  return failures::FromErrno(posix, device, stage, detail);
}

}  // namespace qrticket
