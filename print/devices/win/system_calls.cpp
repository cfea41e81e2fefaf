// The real Win32 calls behind the SystemCalls seam.
#include "devices/win/system_calls.h"

namespace qrticket {

HANDLE SystemCalls::CreateFileW(const wchar_t* path, DWORD access, DWORD share,
                                DWORD disposition, DWORD flags) {
  return ::CreateFileW(path, access, share, nullptr, disposition, flags, nullptr);
}
DWORD SystemCalls::GetFileType(HANDLE handle) { return ::GetFileType(handle); }
DWORD SystemCalls::GetFileAttributesW(const wchar_t* path) { return ::GetFileAttributesW(path); }
BOOL SystemCalls::SetEndOfFile(HANDLE handle) { return ::SetEndOfFile(handle); }
BOOL SystemCalls::ReadFile(HANDLE handle, void* buffer, DWORD size, DWORD* read,
                           OVERLAPPED* overlapped) {
  return ::ReadFile(handle, buffer, size, read, overlapped);
}
BOOL SystemCalls::WriteFile(HANDLE handle, const void* data, DWORD size, DWORD* written,
                            OVERLAPPED* overlapped) {
  return ::WriteFile(handle, data, size, written, overlapped);
}
BOOL SystemCalls::GetOverlappedResult(HANDLE handle, OVERLAPPED* overlapped, DWORD* transferred,
                                      BOOL wait) {
  return ::GetOverlappedResult(handle, overlapped, transferred, wait);
}
DWORD SystemCalls::WaitForSingleObject(HANDLE object, DWORD milliseconds) {
  return ::WaitForSingleObject(object, milliseconds);
}
DWORD SystemCalls::WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL all,
                                          DWORD milliseconds) {
  return ::WaitForMultipleObjects(count, objects, all, milliseconds);
}
BOOL SystemCalls::CancelIoEx(HANDLE handle, OVERLAPPED* overlapped) {
  return ::CancelIoEx(handle, overlapped);
}
BOOL SystemCalls::CloseHandle(HANDLE handle) { return ::CloseHandle(handle); }
HANDLE SystemCalls::GetStdHandle(DWORD which) { return ::GetStdHandle(which); }
BOOL SystemCalls::GetConsoleMode(HANDLE handle, DWORD* mode) { return ::GetConsoleMode(handle, mode); }
BOOL SystemCalls::WriteConsoleW(HANDLE handle, const wchar_t* text, DWORD length, DWORD* written) {
  return ::WriteConsoleW(handle, text, length, written, nullptr);
}
BOOL SystemCalls::ClearCommError(HANDLE handle, DWORD* errors, COMSTAT* status) {
  return ::ClearCommError(handle, errors, status);
}
BOOL SystemCalls::PurgeComm(HANDLE handle, DWORD flags) { return ::PurgeComm(handle, flags); }
BOOL SystemCalls::GetCommTimeouts(HANDLE handle, COMMTIMEOUTS* timeouts) {
  return ::GetCommTimeouts(handle, timeouts);
}
BOOL SystemCalls::SetCommTimeouts(HANDLE handle, COMMTIMEOUTS* timeouts) {
  return ::SetCommTimeouts(handle, timeouts);
}
BOOL SystemCalls::GetCommState(HANDLE handle, DCB* dcb) { return ::GetCommState(handle, dcb); }
BOOL SystemCalls::SetCommState(HANDLE handle, DCB* dcb) { return ::SetCommState(handle, dcb); }

SOCKET SystemCalls::Socket(int family, int type, int protocol) {
  return ::socket(family, type, protocol);
}
int SystemCalls::Connect(SOCKET s, const sockaddr* address, int length) {
  return ::connect(s, address, length);
}
int SystemCalls::Send(SOCKET s, const char* data, int size) { return ::send(s, data, size, 0); }
int SystemCalls::Recv(SOCKET s, char* buffer, int size) { return ::recv(s, buffer, size, 0); }
int SystemCalls::Select(SOCKET s, bool write, DWORD milliseconds) {
  fd_set ready;
  fd_set failed;
  FD_ZERO(&ready);
  FD_ZERO(&failed);
  FD_SET(s, &ready);
  FD_SET(s, &failed);  // a failed connect is reported here, not as writable
  timeval wait{static_cast<long>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000};
  return ::select(0, write ? nullptr : &ready, write ? &ready : nullptr, &failed, &wait);
}
int SystemCalls::Shutdown(SOCKET s, int how) { return ::shutdown(s, how); }
int SystemCalls::CloseSocket(SOCKET s) { return ::closesocket(s); }
int SystemCalls::IoctlSocket(SOCKET s, long command, u_long* argument) {
  return ::ioctlsocket(s, command, argument);
}
int SystemCalls::WSAIoctl(SOCKET s, DWORD code, void* in, DWORD inSize, void* out,
                          DWORD outSize, DWORD* returned) {
  return ::WSAIoctl(s, code, in, inSize, out, outSize, returned, nullptr, nullptr);
}
int SystemCalls::GetSockOpt(SOCKET s, int level, int name, char* value, int* length) {
  return ::getsockopt(s, level, name, value, length);
}
int SystemCalls::SetSockOpt(SOCKET s, int level, int name, const char* value, int length) {
  return ::setsockopt(s, level, name, value, length);
}
int SystemCalls::WSAGetLastError() { return ::WSAGetLastError(); }

BOOL SystemCalls::OpenPrinterW(const wchar_t* name, HANDLE* printer) {
  return ::OpenPrinterW(const_cast<wchar_t*>(name), printer, nullptr);
}
BOOL SystemCalls::GetDefaultPrinterW(wchar_t* name, DWORD* length) {
  return ::GetDefaultPrinterW(name, length);
}
BOOL SystemCalls::GetPrinterW(HANDLE printer, DWORD level, BYTE* buffer, DWORD size,
                              DWORD* needed) {
  return ::GetPrinterW(printer, level, buffer, size, needed);
}
DWORD SystemCalls::StartDocPrinterW(HANDLE printer, DOC_INFO_1W* document) {
  return ::StartDocPrinterW(printer, 1, reinterpret_cast<BYTE*>(document));
}
BOOL SystemCalls::WritePrinter(HANDLE printer, const void* data, DWORD size, DWORD* written) {
  return ::WritePrinter(printer, const_cast<void*>(data), size, written);
}
BOOL SystemCalls::EndDocPrinter(HANDLE printer) { return ::EndDocPrinter(printer); }
BOOL SystemCalls::GetJobW(HANDLE printer, DWORD job, DWORD level, BYTE* buffer, DWORD size,
                          DWORD* needed) {
  return ::GetJobW(printer, job, level, buffer, size, needed);
}
BOOL SystemCalls::SetJobW(HANDLE printer, DWORD job, DWORD command) {
  return ::SetJobW(printer, job, 0, nullptr, command);
}
BOOL SystemCalls::AbortPrinter(HANDLE printer) { return ::AbortPrinter(printer); }
BOOL SystemCalls::ClosePrinter(HANDLE printer) { return ::ClosePrinter(printer); }

SystemCalls& SystemCalls::Real() {
  static SystemCalls real;
  return real;
}

}  // namespace qrticket
