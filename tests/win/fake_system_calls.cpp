// The in-memory devices behind the seam (see fake_system_calls.h).
#include "fake_system_calls.h"

#include <mstcpip.h>

#include <algorithm>
#include <cstring>
#include <thread>
#include <utility>

#include "devices/win/printer_state.h"
#include "recording_reporter.h"
#include "temp_dir.h"
#include "ticket/ticket_defaults.h"

namespace qrticket::testing {
namespace {

BOOL FailWith(DWORD error) {
  ::SetLastError(error);
  return FALSE;
}

}  // namespace

HANDLE FakePort::CreateFileW(const wchar_t* path, DWORD access, DWORD share, DWORD disposition,
                             DWORD flags) {
  openedPath = path;
  openedAccess = access;
  openedShare = share;
  openedDisposition = disposition;
  openedFlags = flags;
  if (openError != 0) {
    ::SetLastError(openError);
    return INVALID_HANDLE_VALUE;
  }
  return kFakeHandle;
}

DWORD FakePort::GetFileType(HANDLE) { return fileType; }
BOOL FakePort::SetEndOfFile(HANDLE) { return TRUE; }

BOOL FakePort::WriteFile(HANDLE, const void* data, DWORD size, DWORD* written,
                         OVERLAPPED* overlapped) {
  ++writeCalls;
  WriteStep step;
  if (!writes.empty()) {
    step = writes.front();
    writes.pop_front();
  }
  lastError_ = 0;
  lastTransferred_ = 0;
  switch (step.kind) {
    case WriteStep::Take:
      lastTransferred_ = std::min(size, step.limit);
      received.append(static_cast<const char*>(data), lastTransferred_);
      break;
    case WriteStep::Nothing:
      break;
    case WriteStep::Pend:  // the driver holds it until the queue empties or a cancel
      pending_ = overlapped;
      pendingData_.assign(static_cast<const char*>(data), size);
      return FailWith(ERROR_IO_PENDING);
    case WriteStep::Fail:
      return FailWith(step.error);
  }
  if (written) *written = lastTransferred_;
  ::SetEvent(overlapped->hEvent);
  return TRUE;
}

BOOL FakePort::GetOverlappedResult(HANDLE, OVERLAPPED*, DWORD* transferred, BOOL) {
  *transferred = lastTransferred_;
  return lastError_ == 0 ? TRUE : FailWith(lastError_);
}

BOOL FakePort::CancelIoEx(HANDLE, OVERLAPPED* overlapped) {
  ++cancels;
  pending_ = nullptr;
  lastError_ = ERROR_OPERATION_ABORTED;
  ::SetEvent(overlapped->hEvent);
  return TRUE;
}

BOOL FakePort::CloseHandle(HANDLE) {
  ++closes;
  return TRUE;
}

BOOL FakePort::ClearCommError(HANDLE, DWORD* errors, COMSTAT* status) {
  if (!reportsQueue) return FailWith(ERROR_INVALID_FUNCTION);
  *errors = 0;
  *status = COMSTAT{};
  status->cbOutQue = queue.empty() ? 0 : static_cast<DWORD>(queue.front());
  status->cbInQue = answers.empty() ? 0 : static_cast<DWORD>(answers.front().size());
  if (queue.size() > 1) queue.pop_front();
  if (status->cbOutQue == 0 && pending_) {
    received += pendingData_;
    lastTransferred_ = static_cast<DWORD>(pendingData_.size());
    ::SetEvent(std::exchange(pending_, nullptr)->hEvent);
  }
  return TRUE;
}

BOOL FakePort::PurgeComm(HANDLE, DWORD) {
  ++purges;
  return TRUE;
}

BOOL FakePort::ReadFile(HANDLE, void* buffer, DWORD size, DWORD* read, OVERLAPPED* overlapped) {
  lastError_ = 0;
  lastTransferred_ = 0;
  if (!answers.empty()) {
    Bytes& piece = answers.front();
    lastTransferred_ = std::min<DWORD>(size, static_cast<DWORD>(piece.size()));
    std::memcpy(buffer, piece.data(), lastTransferred_);
    piece.erase(0, lastTransferred_);
    if (piece.empty()) answers.pop_front();
  }
  if (read) *read = lastTransferred_;
  ::SetEvent(overlapped->hEvent);
  return TRUE;
}

BOOL FakePort::GetCommTimeouts(HANDLE, COMMTIMEOUTS* out) {
  *out = timeouts;
  return TRUE;
}

BOOL FakePort::SetCommTimeouts(HANDLE, COMMTIMEOUTS* in) {
  timeouts = *in;
  timeoutsSet.push_back(*in);
  return TRUE;
}

DCB FakePort::DefaultDcb() {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = 9600;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  return dcb;
}

BOOL FakePort::GetCommState(HANDLE, DCB* dcb) {
  *dcb = state;
  return TRUE;
}

BOOL FakePort::SetCommState(HANDLE, DCB* dcb) {
  setStates.push_back(*dcb);
  writeCallsAtSet.push_back(writeCalls);
  if (refusesSettings && setStates.size() == 1) return FailWith(ERROR_INVALID_PARAMETER);
  state = *dcb;
  if (takesBaud != 0 && setStates.size() == 1) state.BaudRate = takesBaud;
  return TRUE;
}

BOOL FakeSpooler::OpenPrinterW(const wchar_t* name, HANDLE* printer) {
  printerName = name;
  if (openError != 0) return FailWith(openError);
  *printer = kFakeHandle;
  return TRUE;
}

BOOL FakeSpooler::GetPrinterW(HANDLE, DWORD level, BYTE* buffer, DWORD size, DWORD* needed) {
  if (!says || level != 2) return FailWith(ERROR_INVALID_LEVEL);
  PrinterLook look;
  if (!printerLooks.empty()) {
    look = printerLooks.front();
    if (printerLooks.size() > 1) printerLooks.pop_front();
  }
  *needed = sizeof(PRINTER_INFO_2W);
  if (size < sizeof(PRINTER_INFO_2W)) return FailWith(ERROR_INSUFFICIENT_BUFFER);
  auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer);
  *info = PRINTER_INFO_2W{};
  info->Status = look.status;
  info->Attributes = look.attributes;
  return TRUE;
}

BOOL FakeSpooler::GetDefaultPrinterW(wchar_t* name, DWORD* length) {
  if (defaultPrinter.empty()) return FailWith(ERROR_FILE_NOT_FOUND);
  const auto needed = static_cast<DWORD>(defaultPrinter.size() + 1);
  if (name == nullptr || *length < needed) {
    *length = needed;
    return FailWith(ERROR_INSUFFICIENT_BUFFER);
  }
  std::copy(defaultPrinter.c_str(), defaultPrinter.c_str() + needed, name);
  *length = needed;
  return TRUE;
}

DWORD FakeSpooler::StartDocPrinterW(HANDLE, DOC_INFO_1W* document) {
  dataType = document->pDatatype ? document->pDatatype : L"";
  if (startError != 0) {
    ::SetLastError(startError);
    return 0;
  }
  return kJob;
}

BOOL FakeSpooler::WritePrinter(HANDLE, const void* data, DWORD size, DWORD* written) {
  if (writeError != 0) return FailWith(writeError);
  received.append(static_cast<const char*>(data), size);
  *written = size;
  return TRUE;
}

BOOL FakeSpooler::EndDocPrinter(HANDLE) {
  if (endError != 0) return FailWith(endError);
  ended = true;
  return TRUE;
}

BOOL FakeSpooler::GetJobW(HANDLE, DWORD job, DWORD level, BYTE* buffer, DWORD size, DWORD* needed) {
  JobLook look{.gone = true};
  if (!looks.empty()) {
    look = looks.front();
    if (looks.size() > 1) looks.pop_front();
  }
  if (job != kJob || level != 1 || look.gone) return FailWith(ERROR_INVALID_PARAMETER);
  *needed = sizeof(JOB_INFO_1W);
  if (size < sizeof(JOB_INFO_1W)) return FailWith(ERROR_INSUFFICIENT_BUFFER);
  auto* info = reinterpret_cast<JOB_INFO_1W*>(buffer);
  *info = JOB_INFO_1W{};
  info->JobId = kJob;
  info->Status = look.status;
  info->Position = look.position;
  info->PagesPrinted = look.pagesPrinted;
  return TRUE;
}

BOOL FakeSpooler::SetJobW(HANDLE, DWORD job, DWORD command) {
  if (job == kJob) jobCommands.push_back(command);
  if (command == kJobControlRetain && !retains) return FailWith(ERROR_INVALID_PARAMETER);
  return TRUE;
}

BOOL FakeSpooler::AbortPrinter(HANDLE) {
  aborted = true;
  return TRUE;
}

BOOL FakeSpooler::ClosePrinter(HANDLE) {
  closed = true;
  return TRUE;
}

SOCKET FakeSocket::Socket(int, int, int) { return static_cast<SOCKET>(0x5050); }
int FakeSocket::Connect(SOCKET, const sockaddr*, int) { return 0; }
int FakeSocket::IoctlSocket(SOCKET, long, u_long*) { return 0; }

int FakeSocket::Send(SOCKET, const char* data, int size) {
  if (sendBlocks) return Fail(WSAEWOULDBLOCK);
  received.append(data, static_cast<std::size_t>(size));
  return size;
}

int FakeSocket::Recv(SOCKET, char*, int) {
  if (recvs.empty()) return Fail(WSAEWOULDBLOCK);
  const int result = recvs.front();
  recvs.pop_front();
  return result >= 0 ? result : Fail(-result);
}

int FakeSocket::Select(SOCKET, bool write, DWORD milliseconds) {
  if (write ? !sendBlocks : !recvs.empty()) return 1;
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  return 0;
}

int FakeSocket::Shutdown(SOCKET, int) {
  shutDown = true;
  return 0;
}

int FakeSocket::CloseSocket(SOCKET) {
  closed = true;
  return 0;
}

int FakeSocket::WSAIoctl(SOCKET, DWORD code, void*, DWORD, void* out, DWORD outSize,
                         DWORD* returned) {
  if (code != SIO_TCP_INFO || acks.empty() || outSize < sizeof(TCP_INFO_v0))
    return Fail(WSAEOPNOTSUPP);
  const Ack ack = acks.front();
  if (acks.size() > 1) acks.pop_front();
  auto* info = static_cast<TCP_INFO_v0*>(out);
  *info = TCP_INFO_v0{};
  info->State = ack.state;
  info->BytesInFlight = ack.inFlight;
  *returned = sizeof(TCP_INFO_v0);
  return 0;
}

int FakeSocket::GetSockOpt(SOCKET, int, int, char* value, int* length) {
  std::memset(value, 0, static_cast<std::size_t>(*length));  // SO_ERROR: none
  return 0;
}

int FakeSocket::SetSockOpt(SOCKET, int level, int name, const char* value, int) {
  if (level == SOL_SOCKET && name == SO_SNDBUF) sendBuffer = *reinterpret_cast<const int*>(value);
  if (level == SOL_SOCKET && name == SO_LINGER)
    reset = reinterpret_cast<const linger*>(value)->l_onoff != 0 &&
            reinterpret_cast<const linger*>(value)->l_linger == 0;
  return 0;
}

HANDLE FakeStdout::GetStdHandle(DWORD) { return kFakeHandle; }
DWORD FakeStdout::GetFileType(HANDLE) { return fileType; }

BOOL FakeStdout::WriteFile(HANDLE, const void* data, DWORD size, DWORD* written, OVERLAPPED*) {
  if (stuck) {
    // Nothing of `this` is touched after the wait: the test may be over by then.
    const auto wait = stuckFor;
    std::this_thread::sleep_for(wait);
    return FailWith(ERROR_OPERATION_ABORTED);
  }
  std::this_thread::sleep_for(pause);
  const std::lock_guard lock(mutex_);
  received_.append(static_cast<const char*>(data), size);
  *written = size;
  return TRUE;
}

Bytes FakeStdout::received() const {
  const std::lock_guard lock(mutex_);
  return received_;
}

BOOL FakeConsole::GetConsoleMode(HANDLE, DWORD* mode) {
  if (!console) return FailWith(ERROR_INVALID_HANDLE);
  *mode = ENABLE_PROCESSED_OUTPUT;
  return TRUE;
}

BOOL FakeConsole::WriteConsoleW(HANDLE, const wchar_t* text, DWORD length, DWORD* written) {
  writes.emplace_back(text, length);
  shown.append(text, length);
  *written = length;
  return TRUE;
}

BOOL FakeConsole::WriteFile(HANDLE, const void* data, DWORD size, DWORD* written, OVERLAPPED*) {
  piped.append(static_cast<const char*>(data), size);
  *written = size;
  return TRUE;
}

std::optional<std::string> RunTicketJob(const std::string& device, SystemCalls& sys,
                                        std::chrono::milliseconds stall, const Bytes& dataText) {
  ChannelOptions options;
  options.stallTimeout = stall;
  return RunTicketJob(device, sys, options, dataText);
}

std::optional<std::string> RunTicketJob(const std::string& device, SystemCalls& sys,
                                        const ChannelOptions& options, const Bytes& dataText) {
  QrPrintSettings settings;
  settings.dataText = dataText;
  settings.deviceName = device;
  settings.moduleSizeText = std::string(kDefaultModuleSizeText);  // not operator=(const char*): GCC 12 warns -Wrestrict wrongly
  RecordingReporter reporter;
  PrintQrTest(settings, reporter, options, sys);
  if (reporter.messages.empty()) return std::nullopt;
  return reporter.messages.front();
}

Bytes ExpectedTicket(const Bytes& dataText) {
  TempDir dir;
  const std::string file = dir.File("expected.bin");
  if (RunTicketJob(file, SystemCalls::Real(), std::chrono::seconds(10), dataText)) return {};
  return ReadFileBytes(file);
}

}  // namespace qrticket::testing
