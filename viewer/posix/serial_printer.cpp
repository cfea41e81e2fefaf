// The virtual serial printer: a pty, its settings read on each arrival, junk at a wrong speed.
#include "posix/serial_printer.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>

#include "devices/line_settings.h"
#include "devices/posix/serial_line.h"
#include "job_files.h"
#include "png_writer.h"
#include "render_report.h"

namespace qrticket::viewer {

struct SerialPrinter::Job {
  explicit Job(const SerialPrinterOptions& options)
      : renderer(options.render), responder(options.simulate) {}
  TicketRenderer renderer;
  StatusResponder responder;
  std::uint64_t bytes = 0;
  std::uint64_t junkBytes = 0;
  std::set<std::uint32_t> otherSpeeds;  // what the line was at when junk came
  bool cut = false;                     // past the job's input bound
};

std::string Junk(std::string_view bytes) {
  // Printable Latin-1 (0xA0 to 0xFF in the power-on table, WPC1252), scattered so that no
  // command survives: a frame read at the wrong speed keeps nothing of its byte. Line feeds
  // stay, so the junk prints in lines, as a real printer's does now and then; a printer holds
  // a line without one until it is full.
  std::string junk(bytes.size(), '?');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    junk[i] = b == '\n' ? '\n' : static_cast<char>(0xA0 + (b * 37 + 11) % 0x60);
  }
  return junk;
}

SerialPrinter::SerialPrinter(SerialPrinterOptions options) : options_(std::move(options)) {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  char name[128];
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
      ::ptsname_r(master_, name, sizeof name) != 0)
    throw ListenError(say::SerialNoPty(std::strerror(errno)));
  path_ = name;
  keeper_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  termios raw{};
  if (keeper_ < 0 || ::tcgetattr(keeper_, &raw) != 0) throw ListenError(say::SerialNoPty(name));
  ::cfmakeraw(&raw);
  ::tcsetattr(keeper_, TCSANOW, &raw);
  LineSettings own;
  GetLineSettings(keeper_, &own);
  const LineSettings line = LineFor(own, options_.settings, LineModes::RawBoth);
  if (SetLineSettings(keeper_, false, &line) != 0) throw ListenError(say::SerialNoPty(name));
  if (::pipe2(stopPipe_, O_CLOEXEC | O_NONBLOCK) != 0) throw ListenError(say::SerialNoPty(name));
}

SerialPrinter::~SerialPrinter() {
  for (const int fd : {master_, keeper_, stopPipe_[0], stopPipe_[1]})
    if (fd >= 0) ::close(fd);
}

void SerialPrinter::Stop() noexcept {
  const char byte = 1;
  [[maybe_unused]] const ssize_t ignored = ::write(stopPipe_[1], &byte, 1);
}

void SerialPrinter::Run(const std::function<void(const ListenJob&)>& onJob) {
  std::unique_ptr<Job> job;
  char buffer[16384];
  for (;;) {
    pollfd fds[2] = {{master_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    const int timeout = job ? static_cast<int>(options_.quiet.count()) : -1;
    const int ready = ::poll(fds, 2, timeout);
    if (ready < 0 && errno == EINTR) continue;
    if ((fds[1].revents & POLLIN) != 0) break;
    if (ready == 0) {  // the line went quiet: the job is complete
      Finish(*job, onJob);
      job.reset();
      continue;
    }
    if ((fds[0].revents & POLLIN) == 0) continue;
    const ssize_t got = ::read(master_, buffer, sizeof buffer);
    if (got <= 0) continue;
    // The settings the bytes came at: read before anything else, while the sender holds them.
    LineSettings line;
    GetLineSettings(keeper_, &line);
    if (!job) job = std::make_unique<Job>(options_);
    const std::string_view piece(buffer, static_cast<std::size_t>(got));
    job->bytes += piece.size();
    if (job->cut) continue;
    if (SpeedsMatch(options_.settings.speed, line.ospeed)) {
      const std::string answer = job->responder.Feed(piece);
      if (!answer.empty()) {
        // Answers the line cannot take now are lost, as on a real line.
        [[maybe_unused]] const ssize_t sent = ::write(master_, answer.data(), answer.size());
      }
      job->cut = !job->renderer.Feed(piece);
    } else {
      job->junkBytes += piece.size();
      job->otherSpeeds.insert(line.ospeed);
      job->cut = !job->renderer.Feed(Junk(piece));
    }
  }
  if (job) Finish(*job, onJob);
}

void SerialPrinter::Finish(Job& job, const std::function<void(const ListenJob&)>& onJob) {
  ListenJob done;
  done.peer = path_;
  done.bytes = job.bytes;
  if (job.junkBytes > 0)
    done.report.push_back(say::SerialSpeedMismatch(
        job.junkBytes, {job.otherSpeeds.begin(), job.otherSpeeds.end()}, options_.settings.speed));
  const auto answered = job.responder.Notes();
  done.report.insert(done.report.end(), answered.begin(), answered.end());
  if (job.junkBytes == 0 && job.responder.OnlyRequests()) {  // nothing to draw
    done.statusOnly = true;
    onJob(done);
    return;
  }
  const RenderedTicket ticket = job.renderer.Finish();
  done.report.insert(done.report.end(), ticket.report.begin(), ticket.report.end());
  try {
    const auto png = EncodePng(ticket.width, ticket.height, ticket.pixels);
    done.png = NextTicketPath(options_.outDir, nextFile_);
    SavePng(png, done.png);
  } catch (const PngError& e) {
    throw ListenError(e.what());
  }
  done.number = ++jobs_;
  WriteTicketReport(done.png, done.report);
  onJob(done);
}

}  // namespace qrticket::viewer
