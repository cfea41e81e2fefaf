// Stopping a job from outside on Windows (Ctrl+C in the console). ChannelOptions::cancelFd and
// StatusOptions::cancelFd hold here a manual-reset event as a number: Windows keeps kernel
// handles within 32 bits, so that 32- and 64-bit programs can share them. The front end sets
// the event; every wait of the Windows device layer watches it, and the job then fails as
// interrupted, releasing the device as after any failure.
#pragma once

#include <windows.h>

#include "devices/system_calls.h"

namespace qrticket {

// The event behind a cancel number, nullptr for -1 (a job nothing can stop).
HANDLE CancelEvent(int cancelFd);
// The number ChannelOptions::cancelFd takes for `event`.
int CancelNumber(HANDLE event);

// Whether the event behind `cancelFd` is set.
bool IsCancelled(int cancelFd);
// Throws PrintFailure (interrupted) when it is.
void ThrowIfCancelled(int cancelFd);

enum class Waited { Ready, TimedOut, Cancelled };

// WaitForSingleObject on `object` through the seam, ended early when the cancel event is set.
Waited WaitOrCancel(SystemCalls& sys, HANDLE object, DWORD milliseconds, int cancelFd);

// SystemCalls::Select on one socket, waited for in short slices so that the cancel event ends
// it (throws PrintFailure, interrupted). Returns what Select returns.
int SelectOrCancel(SystemCalls& sys, SOCKET s, bool write, DWORD milliseconds, int cancelFd);

// Sleeps `milliseconds`; throws PrintFailure (interrupted) at once when the cancel event is set.
void SleepOrCancel(DWORD milliseconds, int cancelFd);

}  // namespace qrticket
