// The one kind of failure the core raises: a number and a description, shown by the front ends.
#pragma once

#include <exception>
#include <string>

namespace qrticket {

// Failure numbers. They are stable so scripts and support staff can quote them.
enum class FailureCode : int {
  InvalidArgument = 1,   // a byte value outside 0..255, or a bad parameter
  Overflow = 2,          // a value outside the signed 16-bit range
  OutOfMemory = 3,
  BadFileName = 10,      // empty or malformed device name
  NotFound = 11,         // the path or device does not exist
  AccessRefused = 12,    // no permission, read-only file system
  DeviceBusy = 13,       // another program holds the device
  DeviceUnavailable = 14,// the device node exists but nothing answers behind it
  IsDirectory = 15,
  NoReader = 16,         // a FIFO that nobody reads
  AlreadyOpen = 20,      // the channel is already open
  BadChannel = 21,       // the channel is not open
  DeviceIo = 30,         // the device refused bytes
  DiskFull = 31,
  TimedOut = 32,         // the device took no byte for the stall time-out
  ConnectionLost = 33,   // the peer closed or reset the connection
  Interrupted = 34,      // the job was stopped from outside (Ctrl+C, a termination signal)
  UnknownHost = 40,
  ConnectionRefused = 41,
  ConnectTimedOut = 42,
  NameLookupFailed = 43, // the name server could not be asked (no network, no server)
  NoAnswer = 50,         // the printer did not answer a status request in time
  NoReturnChannel = 51,  // a file, FIFO, standard output or queue: nothing can answer
  PrinterNotReady = 52,  // the printer reports paper out, cover open, off line or an error
  MayBeIncomplete = 53,  // the ticket was sent, but the printer then reported a problem
  DeliveryUnconfirmed = 54,  // a spooler took the ticket and cannot say whether it printed
  UnaskedData = 55,      // the printer's line carries bytes nobody asked for: no answer is sure
  CupsUnavailable = 60,    // no CUPS scheduler answered
  CupsQueueNotFound = 61,  // no such queue, or no default destination
  CupsRefused = 62,        // the scheduler refused the job
  CupsJobStopped = 63,     // the job was held, cancelled or aborted in the queue
  SpoolerJobStopped = 64,  // Windows' spooler: the job was deleted or its driver blocked it
  SystemError = 99,      // any other refusal by the operating system
};

class PrintFailure : public std::exception {
 public:
  PrintFailure(FailureCode code, std::string description)
      : code_(code), description_(std::move(description)) {}

  FailureCode code() const noexcept { return code_; }
  int number() const noexcept { return static_cast<int>(code_); }
  // UTF-8, in Portuguese, meant for the operator.
  const std::string& description() const noexcept { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  FailureCode code_;
  std::string description_;
};

}  // namespace qrticket
