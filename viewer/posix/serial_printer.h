// The virtual printer on a serial line: a pseudo-terminal whose other end programs open as a
// serial port. It draws what arrives while the line is set to the printer's own speed and
// answers status requests then; at any other speed what arrives is drawn as junk, as a real
// printer prints it, and the report says the speeds do not match. POSIX only (ptys).
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include "devices/serial_settings.h"
#include "listen_server.h"
#include "render_ticket.h"
#include "status_responder.h"

namespace qrticket::viewer {

struct SerialPrinterOptions {
  SerialSettings settings;  // the printer's own, as its switches would set them
  std::filesystem::path outDir;
  RenderOptions render;
  SimulatedState simulate = SimulatedState::Ready;
  // A line silent this long ends the job: a serial line has no end of its own.
  std::chrono::milliseconds quiet{500};
};

class SerialPrinter {
 public:
  // Makes the pseudo-terminal, set raw at the printer's settings, and keeps a descriptor of
  // its own on it (to read the line's settings, and so the line stays up between senders).
  // Throws ListenError.
  explicit SerialPrinter(SerialPrinterOptions options);
  ~SerialPrinter();
  SerialPrinter(const SerialPrinter&) = delete;
  SerialPrinter& operator=(const SerialPrinter&) = delete;

  // The line's path, for `qrticket --device PATH`.
  const std::string& path() const { return path_; }

  // Reads the line until Stop(), one job per burst of bytes; `onJob` is called once per job
  // (its `peer` is the line's path), after its PNG is written. Throws ListenError when a PNG
  // cannot be written.
  void Run(const std::function<void(const ListenJob&)>& onJob);

  // Ends Run() soon, from any thread or a signal handler.
  void Stop() noexcept;

 private:
  struct Job;
  void Finish(Job& job, const std::function<void(const ListenJob&)>& onJob);

  SerialPrinterOptions options_;
  int master_ = -1;
  int keeper_ = -1;
  int stopPipe_[2] = {-1, -1};
  std::string path_;
  int nextFile_ = 1;
  int jobs_ = 0;
};

// What a printer set to another speed makes of `bytes`: printable junk, one character for each,
// line feeds kept.
std::string Junk(std::string_view bytes);

}  // namespace qrticket::viewer
