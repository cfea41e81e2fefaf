// Overlapped writes in pieces, each waited for in short slices up to the stall time-out.
#include "devices/win/overlapped_output.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "devices/deadline.h"
#include "devices/device_failures.h"
#include "devices/win/cancel_event.h"
#include "devices/win/win_errors.h"

namespace qrticket {
namespace {

using Clock = std::chrono::steady_clock;

// How often a wait looks at the serial queue for progress.
constexpr DWORD kQueueCheckMs = 20;
// How long a cancelled write may take to come back before it is given up on.
constexpr DWORD kCancelWaitMs = 2000;

}  // namespace

// One write in flight: the system writes into the OVERLAPPED and may read the buffer until the
// write completes, so both live on the heap and outlive a write that never comes back.
struct OverlappedWriter::Pending {
  OVERLAPPED overlapped{};
  std::vector<char> buffer;
};

OverlappedWriter::OverlappedWriter(SystemCalls& sys, const HandleOutput& out)
    : sys_(sys), out_(out), pending_(std::make_unique<Pending>()) {
  pending_->overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

OverlappedWriter::~OverlappedWriter() {
  if (pending_ && pending_->overlapped.hEvent) ::CloseHandle(pending_->overlapped.hEvent);
}

long OverlappedWriter::QueuedBytes() {
  DWORD errors = 0;
  COMSTAT status{};
  if (!sys_.ClearCommError(out_.handle, &errors, &status)) return -1;
  return static_cast<long>(status.cbOutQue);
}

void OverlappedWriter::WriteAll(BytesView bytes) {
  if (!pending_->overlapped.hEvent)
    throw FromWindowsError(::GetLastError(), out_.device, failures::Stage::Write);
  auto deadline = Clock::now() + out_.stall;
  while (!bytes.empty()) {
    const DWORD written = WritePiece(bytes.substr(0, kPieceSize), deadline);
    bytes.remove_prefix(written);
  }
}

// Writes once and waits for the write to come back; returns how much it took (at least one
// byte: a write that took nothing is retried until the deadline).
DWORD OverlappedWriter::WritePiece(BytesView piece, Clock::time_point& deadline) {
  Pending& p = *pending_;
  p.buffer.assign(piece.begin(), piece.end());
  for (;;) {
    const HANDLE event = p.overlapped.hEvent;
    p.overlapped = OVERLAPPED{};
    p.overlapped.hEvent = event;
    ::ResetEvent(event);
    if (out_.seekable) {
      p.overlapped.Offset = static_cast<DWORD>(offset_);
      p.overlapped.OffsetHigh = static_cast<DWORD>(offset_ >> 32);
    }
    if (!sys_.WriteFile(out_.handle, p.buffer.data(), static_cast<DWORD>(p.buffer.size()), nullptr,
                        &p.overlapped)) {
      const DWORD error = ::GetLastError();
      if (error != ERROR_IO_PENDING) throw FromWindowsError(error, out_.device, failures::Stage::Write);
    }
    long lastQueued = out_.serial ? QueuedBytes() : -1;
    for (;;) {
      const DWORD left = MillisecondsLeft(deadline);
      const DWORD slice = out_.serial ? std::min(left, kQueueCheckMs) : left;
      const Waited waited = WaitOrCancel(sys_, event, slice, out_.cancelFd);
      if (waited == Waited::Ready) break;
      if (waited == Waited::Cancelled) {
        Cancel();
        throw failures::Interrupted();
      }
      if (left == 0 || MillisecondsLeft(deadline) == 0) {
        Cancel();
        throw failures::TimedOut(out_.device, out_.stall);
      }
      if (out_.serial) {
        const long queued = QueuedBytes();
        if (queued != lastQueued) deadline = Clock::now() + out_.stall;
        lastQueued = queued;
      }
    }
    DWORD transferred = 0;
    if (!sys_.GetOverlappedResult(out_.handle, &p.overlapped, &transferred, FALSE))
      throw FromWindowsError(::GetLastError(), out_.device, failures::Stage::Write);
    if (transferred > 0) {
      offset_ += transferred;
      deadline = Clock::now() + out_.stall;  // progress: the stall clock starts again
      return std::min<DWORD>(transferred, static_cast<DWORD>(piece.size()));
    }
    // The port's own write time-out passed with nothing sent: try again, gently.
    const DWORD left = MillisecondsLeft(deadline);
    if (left == 0) throw failures::TimedOut(out_.device, out_.stall);
    SleepOrCancel(std::min(left, kQueueCheckMs), out_.cancelFd);
  }
}

// Cancels the write in flight and waits a little for it to come back. A driver that ignores
// the cancel keeps the OVERLAPPED and its buffer for good: they are left to it, not freed.
void OverlappedWriter::Cancel() {
  Pending& p = *pending_;
  sys_.CancelIoEx(out_.handle, &p.overlapped);
  if (sys_.WaitForSingleObject(p.overlapped.hEvent, kCancelWaitMs) != WAIT_OBJECT_0) {
    (void)pending_.release();
    pending_ = std::make_unique<Pending>();
    pending_->overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return;
  }
  DWORD transferred = 0;
  sys_.GetOverlappedResult(out_.handle, &p.overlapped, &transferred, FALSE);
}

void OverlappedWriter::Drain() {
  if (!out_.serial) return;
  auto deadline = Clock::now() + out_.stall;
  long last = QueuedBytes();
  while (last > 0) {
    const DWORD left = MillisecondsLeft(deadline);
    if (left == 0) throw failures::TimedOut(out_.device, out_.stall);
    SleepOrCancel(std::min(left, kQueueCheckMs), out_.cancelFd);
    const long now = QueuedBytes();
    if (now != last) deadline = Clock::now() + out_.stall;
    last = now;
  }
}

}  // namespace qrticket
