// Messages on Windows: UTF-8 text to a console, a pipe or a file, each the way it shows right.
#pragma once

#include <streambuf>
#include <string>

#include "devices/system_calls.h"

namespace qrticket {

// A stream buffer over a standard handle. A console gets the text as UTF-16 through
// WriteConsoleW: handed over by the C runtime, UTF-8 reaches a console byte by byte and shows
// as "impressÃ£o" even with its code page set to UTF-8. A pipe or a file gets the UTF-8 bytes
// through WriteFile, each line ended by CR LF as Windows programs end them. Nothing is held
// back but the start of a character that a later write completes. A missing handle (a program
// started without a console) takes everything and shows nothing.
class ConsoleTextBuffer final : public std::streambuf {
 public:
  ConsoleTextBuffer(SystemCalls& sys, HANDLE handle);
  ~ConsoleTextBuffer() override;
  ConsoleTextBuffer(const ConsoleTextBuffer&) = delete;
  ConsoleTextBuffer& operator=(const ConsoleTextBuffer&) = delete;

  bool isConsole() const { return console_; }

 protected:
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  // Writes what `pending_` holds up to `end`; false when the handle refused it.
  bool WriteOut(std::size_t end);

  SystemCalls& sys_;
  HANDLE handle_;
  bool console_ = false;
  std::string pending_;
};

// How many bytes at the end of `utf8` begin a character that is not complete yet (0 to 3).
std::size_t IncompleteTail(const std::string& utf8);

}  // namespace qrticket
