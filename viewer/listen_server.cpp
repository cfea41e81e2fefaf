// The virtual printer on the network: one thread per connection, so a silent sender holds up no
// one else; every read is bounded in size and in time (the sockets are listen_socket's, one file
// per platform), and Stop() ends every wait at once.
#include "listen_server.h"

#include <thread>

#include "job_files.h"
#include "png_writer.h"
#include "render_report.h"

namespace qrticket::viewer {

ListenServer::ListenServer(ListenOptions options)
    : options_(std::move(options)), socket_(options_.address, options_.port) {}

ListenServer::~ListenServer() = default;

void ListenServer::Run(const std::function<void(const ListenJob&)>& onJob) {
  for (;;) {
    {
      // At the limit, wait for a connection to end (or for Stop) before taking another.
      std::unique_lock lock(mutex_);
      changed_.wait_for(lock, std::chrono::milliseconds(200),
                        [&] { return active_ < options_.maxConnections || !error_.empty(); });
      if (!error_.empty()) break;
      if (active_ >= options_.maxConnections) {
        if (socket_.Stopped()) break;
        continue;
      }
    }
    if (socket_.Stopped()) break;
    std::unique_ptr<Connection> connection = socket_.Accept(std::chrono::milliseconds(200));
    {
      std::lock_guard lock(mutex_);
      if (!error_.empty()) break;
    }
    if (!connection) continue;
    {
      std::lock_guard lock(mutex_);
      ++active_;
    }
    std::thread([this, connection = std::move(connection), &onJob]() mutable {
      std::string failure;
      try {
        Serve(std::move(connection), onJob);
      } catch (const std::bad_alloc&) {
        failure = say::OutOfMemory();
      } catch (const std::exception&) {
        failure = say::JobFailed();
      }
      std::lock_guard lock(mutex_);
      if (!failure.empty() && error_.empty()) error_ = failure;
      --active_;
      changed_.notify_all();
    }).detach();
  }
  // Stop() wakes every connection too: each draws what came and ends.
  Stop();
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return active_ == 0; });
  if (!error_.empty()) throw ListenError(error_);
}

// The one place a connection is read: each piece goes to the status responder (which answers
// DLE EOT and GS I at once), then to the drawing. Ends when the sender closes, stays silent for
// the idle time, sends more than a job may hold, or Stop() is called.
ListenServer::Received ListenServer::ReadConnection(Connection& connection,
                                                   TicketRenderer& renderer,
                                                   StatusResponder& responder) {
  Received got;
  char buffer[16384];
  for (;;) {
    const Connection::Read read = connection.ReadSome(buffer, sizeof buffer, options_.idleTimeout);
    switch (read.got) {
      case Connection::Got::Stopped:
        if (got.bytes > 0) got.notes.push_back(say::ListenStoppedDuringJob());
        return got;
      case Connection::Got::Idle:
        if (got.bytes > 0) got.notes.push_back(say::ListenIdle(options_.idleTimeout.count()));
        return got;
      case Connection::Got::Closed:
        return got;
      case Connection::Got::Bytes:
        break;
    }
    const BytesView piece(buffer, read.size);
    got.bytes += piece.size();
    connection.SendBack(responder.Feed(piece));
    if (!renderer.Feed(piece)) return got;  // past the job's bound: the report says so
  }
}

void ListenServer::Serve(std::unique_ptr<Connection> connection,
                         const std::function<void(const ListenJob&)>& onJob) {
  TicketRenderer renderer(options_.render);
  StatusResponder responder(options_.simulate);
  Received got = ReadConnection(*connection, renderer, responder);

  ListenJob job;
  job.peer = connection->peer();
  connection.reset();  // closed before the drawing: the sender is done
  job.bytes = got.bytes;
  const auto answered = responder.Notes();
  got.notes.insert(got.notes.end(), answered.begin(), answered.end());
  if (got.bytes == 0 || responder.OnlyRequests()) {  // no ticket: nothing to draw
    job.statusOnly = got.bytes > 0;
    job.report = got.bytes > 0 ? std::move(got.notes)
                               : std::vector<std::string>{say::ListenEmpty()};
    std::lock_guard lock(mutex_);
    onJob(job);
    return;
  }
  RenderedTicket ticket = renderer.Finish();
  job.report = std::move(got.notes);
  job.report.insert(job.report.end(), ticket.report.begin(), ticket.report.end());

  // The picture is made outside the lock: another job's drawing waits for no one.
  std::vector<std::uint8_t> png;
  std::string failure;
  try {
    png = EncodePng(ticket.width, ticket.height, ticket.pixels);
  } catch (const PngError& e) {
    failure = e.what();
  }
  ticket = RenderedTicket();  // the raster is in the PNG now

  std::lock_guard lock(mutex_);
  if (failure.empty()) {
    job.number = ++jobs_;
    job.png = NextTicketPath(options_.outDir, nextFile_);
    try {
      SavePng(png, job.png);
    } catch (const PngError& e) {
      failure = e.what();
    }
  }
  if (!failure.empty()) {
    if (error_.empty()) error_ = failure;
    changed_.notify_all();
    Stop();
    return;
  }
  WriteTicketReport(job.png, job.report);
  onJob(job);
}

}  // namespace qrticket::viewer
