// The seam under the Win32 calls the device channel makes. The real calls by default; a test
// overrides one or two to inject a stalled port, a short write or a spooler error without
// hardware. Each returns what the Win32 function returns and leaves GetLastError() (or, for
// sockets, WSAGetLastError()) as the function set it.
#pragma once

// winsock2.h must come before windows.h, which would otherwise pull in the old winsock.h.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <winspool.h>

#include <optional>
#include <string>
#include <vector>

namespace qrticket {

struct UsbPrinterInterface {
  std::wstring path;     // "\\?\usb#vid_04b8&pid_0e15#...#{28d78fad-...}"
  std::string deviceId;  // "MFG:EPSON;MDL:TM-T20II;CMD:ESC/POS;"; empty when it said none
  // The port Windows' USB print monitor gave it, from the interface's registry key: "Base
  // Name" and "Port Number" (USB001 is "USB" and 1). No number: it has no port.
  std::string portBase = "USB";
  std::optional<DWORD> portNumber;
};

class SystemCalls {
 public:
  virtual ~SystemCalls() = default;

  // Files and devices.
  virtual HANDLE CreateFileW(const wchar_t* path, DWORD access, DWORD share, DWORD disposition,
                             DWORD flags);
  virtual DWORD GetFileType(HANDLE handle);
  virtual DWORD GetFileAttributesW(const wchar_t* path);
  virtual BOOL SetEndOfFile(HANDLE handle);
  virtual BOOL WriteFile(HANDLE handle, const void* data, DWORD size, DWORD* written,
                         OVERLAPPED* overlapped);
  virtual BOOL ReadFile(HANDLE handle, void* buffer, DWORD size, DWORD* read,
                        OVERLAPPED* overlapped);
  virtual BOOL GetOverlappedResult(HANDLE handle, OVERLAPPED* overlapped, DWORD* transferred,
                                   BOOL wait);
  virtual DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);
  virtual DWORD WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL all,
                                       DWORD milliseconds);
  virtual BOOL CancelIoEx(HANDLE handle, OVERLAPPED* overlapped);
  virtual BOOL CloseHandle(HANDLE handle);
  virtual HANDLE GetStdHandle(DWORD which);
  // Consoles: whether a handle is one, and writing UTF-16 text to it.
  virtual BOOL GetConsoleMode(HANDLE handle, DWORD* mode);
  virtual BOOL WriteConsoleW(HANDLE handle, const wchar_t* text, DWORD length, DWORD* written);
  // Serial ports: the bytes still queued for the line, and discarding them.
  virtual BOOL ClearCommError(HANDLE handle, DWORD* errors, COMSTAT* status);
  virtual BOOL PurgeComm(HANDLE handle, DWORD flags);
  // Serial ports: how long a read or write waits before it returns.
  virtual BOOL GetCommTimeouts(HANDLE handle, COMMTIMEOUTS* timeouts);
  virtual BOOL SetCommTimeouts(HANDLE handle, COMMTIMEOUTS* timeouts);
  // Serial ports: the line's settings (speed, framing, flow control).
  virtual BOOL GetCommState(HANDLE handle, DCB* dcb);
  virtual BOOL SetCommState(HANDLE handle, DCB* dcb);

  // Sockets.
  virtual SOCKET Socket(int family, int type, int protocol);
  virtual int Connect(SOCKET s, const sockaddr* address, int length);
  virtual int Send(SOCKET s, const char* data, int size);
  virtual int Recv(SOCKET s, char* buffer, int size);
  // select() on one socket; `write` for writability, else readability. Errors count as ready.
  virtual int Select(SOCKET s, bool write, DWORD milliseconds);
  virtual int Shutdown(SOCKET s, int how);
  virtual int CloseSocket(SOCKET s);
  virtual int IoctlSocket(SOCKET s, long command, u_long* argument);
  virtual int WSAIoctl(SOCKET s, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                       DWORD* returned);
  virtual int GetSockOpt(SOCKET s, int level, int name, char* value, int* length);
  virtual int SetSockOpt(SOCKET s, int level, int name, const char* value, int length);
  virtual int WSAGetLastError();

  // The print spooler.
  virtual BOOL OpenPrinterW(const wchar_t* name, HANDLE* printer);
  // The default printer's name; `length` in characters, the NUL included.
  virtual BOOL GetDefaultPrinterW(wchar_t* name, DWORD* length);
  // The printer's information at `level` (2: its state and attributes).
  virtual BOOL GetPrinterW(HANDLE printer, DWORD level, BYTE* buffer, DWORD size, DWORD* needed);
  virtual DWORD StartDocPrinterW(HANDLE printer, DOC_INFO_1W* document);
  virtual BOOL WritePrinter(HANDLE printer, const void* data, DWORD size, DWORD* written);
  virtual BOOL EndDocPrinter(HANDLE printer);
  virtual BOOL GetJobW(HANDLE printer, DWORD job, DWORD level, BYTE* buffer, DWORD size,
                       DWORD* needed);
  virtual BOOL SetJobW(HANDLE printer, DWORD job, DWORD command);
  virtual BOOL AbortPrinter(HANDLE printer);
  virtual BOOL ClosePrinter(HANDLE printer);

  // USB printers (the USB printing class, GUID_DEVINTERFACE_USBPRINT), each with the path
  // that opens it and the IEEE 1284 ID it reports; defined in usb_printers.cpp.
  virtual std::vector<UsbPrinterInterface> UsbPrinterInterfaces();

  // The process-wide instance that makes the real calls.
  static SystemCalls& Real();
};

}  // namespace qrticket
