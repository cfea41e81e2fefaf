// Devices that exist only in memory, behind the Win32 seam: a port whose writes can complete,
// pend for ever or take nothing, a spooler with a scripted job, a socket with scripted
// acknowledgements, and a standard output that writes slowly or not at all. What a real port,
// spooler or stalled network would do on Windows, shown without hardware.
#pragma once

#include <chrono>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "devices/bytes.h"
#include "devices/system_calls.h"
#include "ticket/qr_print_settings.h"
#include "ticket/ticket_job.h"

namespace qrticket::testing {

// A handle value no real call ever returns.
inline const HANDLE kFakeHandle = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x7e57));

// What one WriteFile on the fake port does.
struct WriteStep {
  enum Kind { Take, Pend, Nothing, Fail } kind = Take;
  DWORD limit = 0xFFFFFFFF;  // Take: at most this many bytes of the piece
  DWORD error = 0;           // Fail: the error WriteFile reports
};

class FakePort : public SystemCalls {
 public:
  // What CreateFileW was asked for.
  std::wstring openedPath;
  DWORD openedAccess = 0, openedShare = 0xFFFFFFFF, openedDisposition = 0, openedFlags = 0;
  DWORD openError = 0;  // non-zero: CreateFileW fails with it
  DWORD fileType = FILE_TYPE_CHAR;

  std::deque<WriteStep> writes;  // one per WriteFile; then every write takes everything
  // ClearCommError's output queue, one per call; the last stays. A pending write completes
  // when the queue reaches 0: the port has sent it.
  std::deque<long> queue;
  bool reportsQueue = true;      // false: ClearCommError fails, as on a parallel port

  Bytes received;
  int cancels = 0, purges = 0, closes = 0, writeCalls = 0;

  // What the printer sends back: the input queue (ClearCommError) holds the first piece, and a
  // ReadFile takes from it; with none left a read ends at once with nothing.
  std::deque<Bytes> answers;
  COMMTIMEOUTS timeouts{1, 2, 3, 4, 5};   // the port's, as GetCommTimeouts reads them
  std::vector<COMMTIMEOUTS> timeoutsSet;  // each SetCommTimeouts

  // The line's settings: GetCommState answers `state`; SetCommState records each DCB and
  // makes it the state, with the speed `takesBaud` instead when that is not 0 (a driver that
  // sets another speed). `writeCallsAtSet` is how many writes had been made at each set.
  DCB state = DefaultDcb();
  DWORD takesBaud = 0;
  bool refusesSettings = false;  // SetCommState fails
  std::vector<DCB> setStates;
  std::vector<int> writeCallsAtSet;
  static DCB DefaultDcb();

  HANDLE CreateFileW(const wchar_t* path, DWORD access, DWORD share, DWORD disposition,
                     DWORD flags) override;
  DWORD GetFileType(HANDLE handle) override;
  BOOL SetEndOfFile(HANDLE handle) override;
  BOOL WriteFile(HANDLE handle, const void* data, DWORD size, DWORD* written,
                 OVERLAPPED* overlapped) override;
  BOOL GetOverlappedResult(HANDLE handle, OVERLAPPED* overlapped, DWORD* transferred,
                           BOOL wait) override;
  BOOL CancelIoEx(HANDLE handle, OVERLAPPED* overlapped) override;
  BOOL CloseHandle(HANDLE handle) override;
  BOOL ClearCommError(HANDLE handle, DWORD* errors, COMSTAT* status) override;
  BOOL PurgeComm(HANDLE handle, DWORD flags) override;
  BOOL ReadFile(HANDLE handle, void* buffer, DWORD size, DWORD* read,
                OVERLAPPED* overlapped) override;
  BOOL GetCommTimeouts(HANDLE handle, COMMTIMEOUTS* timeouts) override;
  BOOL SetCommTimeouts(HANDLE handle, COMMTIMEOUTS* timeouts) override;
  BOOL GetCommState(HANDLE handle, DCB* dcb) override;
  BOOL SetCommState(HANDLE handle, DCB* dcb) override;

 private:
  DWORD lastTransferred_ = 0;
  DWORD lastError_ = 0;
  OVERLAPPED* pending_ = nullptr;
  Bytes pendingData_;
};

// One look at the job through GetJobW.
struct JobLook {
  bool gone = false;  // the job has left the queue
  DWORD status = 0;
  DWORD position = 1;
  DWORD pagesPrinted = 0;
};

class FakeSpooler : public SystemCalls {
 public:
  std::wstring printerName;
  std::wstring dataType;
  std::wstring defaultPrinter;  // empty: Windows has no default printer
  DWORD openError = 0;      // OpenPrinterW fails with it
  DWORD startError = 0;     // StartDocPrinterW fails with it
  DWORD writeError = 0;     // WritePrinter fails with it
  DWORD endError = 0;       // EndDocPrinter fails with it
  std::deque<JobLook> looks;  // one per GetJobW; the last stays
  // The printer's Status and Attributes, one per GetPrinterW (the last stays); empty: a ready
  // printer. `says` false: GetPrinterW fails.
  struct PrinterLook {
    DWORD status = 0;
    DWORD attributes = 0;
  };
  std::deque<PrinterLook> printerLooks;
  bool says = true;
  bool retains = true;  // SetJobW takes JOB_CONTROL_RETAIN
  static constexpr DWORD kJob = 42;

  Bytes received;
  bool ended = false, aborted = false, closed = false;
  std::vector<DWORD> jobCommands;  // SetJobW commands for kJob

  BOOL OpenPrinterW(const wchar_t* name, HANDLE* printer) override;
  BOOL GetPrinterW(HANDLE printer, DWORD level, BYTE* buffer, DWORD size, DWORD* needed) override;
  BOOL GetDefaultPrinterW(wchar_t* name, DWORD* length) override;
  DWORD StartDocPrinterW(HANDLE printer, DOC_INFO_1W* document) override;
  BOOL WritePrinter(HANDLE printer, const void* data, DWORD size, DWORD* written) override;
  BOOL EndDocPrinter(HANDLE printer) override;
  BOOL GetJobW(HANDLE printer, DWORD job, DWORD level, BYTE* buffer, DWORD size,
               DWORD* needed) override;
  BOOL SetJobW(HANDLE printer, DWORD job, DWORD command) override;
  BOOL AbortPrinter(HANDLE printer) override;
  BOOL ClosePrinter(HANDLE printer) override;
};

// A connection to 127.0.0.1 that is never made: every socket call is answered here.
class FakeSocket : public SystemCalls {
 public:
  // SIO_TCP_INFO answers, one per call (the last stays); empty: the call is not supported.
  struct Ack {
    TCPSTATE state;
    ULONG inFlight;
  };
  std::deque<Ack> acks;
  std::deque<int> recvs;  // Recv results: >0 bytes, 0 end of stream, <0 that Winsock error; then WSAEWOULDBLOCK
  bool sendBlocks = false;  // Send takes nothing (WSAEWOULDBLOCK) and the socket never gets room

  Bytes received;
  bool shutDown = false, reset = false, closed = false;
  std::optional<int> sendBuffer;  // SO_SNDBUF, when the job set it

  SOCKET Socket(int family, int type, int protocol) override;
  int Connect(SOCKET s, const sockaddr* address, int length) override;
  int Send(SOCKET s, const char* data, int size) override;
  int Recv(SOCKET s, char* buffer, int size) override;
  int Select(SOCKET s, bool write, DWORD milliseconds) override;
  int Shutdown(SOCKET s, int how) override;
  int CloseSocket(SOCKET s) override;
  int IoctlSocket(SOCKET s, long command, u_long* argument) override;
  int WSAIoctl(SOCKET s, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
               DWORD* returned) override;
  int GetSockOpt(SOCKET s, int level, int name, char* value, int* length) override;
  int SetSockOpt(SOCKET s, int level, int name, const char* value, int length) override;
  int WSAGetLastError() override { return lastError_; }

 private:
  int Fail(int error) {
    lastError_ = error;
    return SOCKET_ERROR;
  }
  int lastError_ = 0;
};

// A standard output that is a pipe: each WriteFile takes one piece after `pause`; with
// `stuck`, a write never returns by itself (it gives up after `stuckFor`, as cancelled).
class FakeStdout : public SystemCalls {
 public:
  std::chrono::milliseconds pause{0};
  bool stuck = false;
  std::chrono::milliseconds stuckFor{3000};
  DWORD fileType = FILE_TYPE_PIPE;

  Bytes received() const;

  HANDLE GetStdHandle(DWORD which) override;
  DWORD GetFileType(HANDLE handle) override;
  BOOL WriteFile(HANDLE handle, const void* data, DWORD size, DWORD* written,
                 OVERLAPPED* overlapped) override;

 private:
  mutable std::mutex mutex_;
  Bytes received_;
};

// A standard handle that is a console (text through WriteConsoleW) or a pipe (WriteFile).
class FakeConsole : public SystemCalls {
 public:
  bool console = true;
  std::wstring shown;                    // what the console got, all writes joined
  std::vector<std::wstring> writes;      // each WriteConsoleW
  Bytes piped;                           // what WriteFile got

  BOOL GetConsoleMode(HANDLE handle, DWORD* mode) override;
  BOOL WriteConsoleW(HANDLE handle, const wchar_t* text, DWORD length, DWORD* written) override;
  BOOL WriteFile(HANDLE handle, const void* data, DWORD size, DWORD* written,
                 OVERLAPPED* overlapped) override;
};

// The failure message of one ticket job on `sys`, or nullopt when it succeeded.
std::optional<std::string> RunTicketJob(const std::string& device, SystemCalls& sys,
                                        std::chrono::milliseconds stall,
                                        const Bytes& dataText = "QR test");
// The same with every channel option given.
std::optional<std::string> RunTicketJob(const std::string& device, SystemCalls& sys,
                                        const ChannelOptions& options,
                                        const Bytes& dataText = "QR test");

// The bytes of that ticket, written to a real file on the real system.
Bytes ExpectedTicket(const Bytes& dataText = "QR test");

}  // namespace qrticket::testing
