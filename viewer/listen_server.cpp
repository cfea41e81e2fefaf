// The virtual printer on the network: one thread per connection, so a silent sender holds up no
// one else; every read is bounded in size and in time (the sockets are listen_socket's, one file
// per platform), and Stop() ends every wait at once.
#include "listen_server.h"

#include <algorithm>
#include <fstream>
#include <thread>

#include "job_files.h"
#include "png_writer.h"
#include "render_report.h"

namespace qrticket::viewer {

namespace {

using Clock = std::chrono::steady_clock;

// Reads wait this long at most, so that a connection sees in time that it must make way.
constexpr std::chrono::milliseconds kReadSlice{250};

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
      .count();
}

}  // namespace

// The job's bytes as they came, written to a part file while the connection is read and kept
// under the picture's name (.bin) once the picture is saved; removed otherwise. A copy that
// cannot be written is given up quietly: the picture matters, the copy is an extra.
class ListenServer::RawCopy {
 public:
  // An empty `part` copies nothing.
  explicit RawCopy(std::filesystem::path part) : part_(std::move(part)) {
    if (!part_.empty()) out_.open(part_, std::ios::binary | std::ios::trunc);
  }
  ~RawCopy() {
    if (part_.empty()) return;
    out_.close();
    std::error_code ec;
    std::filesystem::remove(part_, ec);
  }
  RawCopy(const RawCopy&) = delete;
  RawCopy& operator=(const RawCopy&) = delete;

  void Write(BytesView piece) {
    if (out_.is_open()) out_.write(piece.data(), static_cast<std::streamsize>(piece.size()));
  }
  // The copy under `name`; empty when there is none or it could not be written.
  std::filesystem::path KeepAs(const std::filesystem::path& name) {
    if (!out_.is_open()) return {};
    out_.close();
    if (out_.fail()) return {};
    std::error_code ec;
    std::filesystem::rename(part_, name, ec);
    if (ec) return {};
    part_.clear();
    return name;
  }

 private:
  std::filesystem::path part_;
  std::ofstream out_;
};

ListenServer::ListenServer(ListenOptions options)
    : options_(std::move(options)),
      socket_(options_.address, options_.port),
      memory_(options_.memoryCap) {}

ListenServer::~ListenServer() = default;

void ListenServer::Run(const std::function<void(const ListenJob&)>& onJob) {
  for (;;) {
    if (socket_.Stopped()) break;
    std::unique_ptr<Connection> connection = socket_.Accept(std::chrono::milliseconds(200));
    std::shared_ptr<Slot> slot;
    {
      std::unique_lock lock(mutex_);
      if (!error_.empty()) break;
      if (!connection) continue;
      // All taken: the connection quiet longest ends (within a read slice) and this one is
      // served in its place; with none quiet, it waits for one to end.
      while (active_ >= options_.maxConnections && error_.empty() && !socket_.Stopped()) {
        MakeWay();
        changed_.wait_for(lock, std::chrono::milliseconds(100));
      }
      if (!error_.empty() || socket_.Stopped()) break;
      ++active_;
      slot = std::make_shared<Slot>();
      slot->lastBytesAt = NowMs();
      slots_.push_back(slot);
    }
    std::thread([this, connection = std::move(connection), slot, &onJob]() mutable {
      std::string failure;
      try {
        Serve(std::move(connection), onJob, *slot);
      } catch (const std::bad_alloc&) {
        failure = say::OutOfMemory();
      } catch (const std::exception&) {
        failure = say::JobFailed();
      }
      std::lock_guard lock(mutex_);
      if (!failure.empty() && error_.empty()) error_ = failure;
      slots_.remove(slot);
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

bool ListenServer::MakeWay() {
  Slot* quietest = nullptr;
  for (const std::shared_ptr<Slot>& slot : slots_) {
    if (slot->makeWay) return true;  // one is already leaving
    if (quietest == nullptr || slot->lastBytesAt < quietest->lastBytesAt) quietest = slot.get();
  }
  if (quietest == nullptr || NowMs() - quietest->lastBytesAt < kQuietBeforeMakingWay.count())
    return false;
  quietest->makeWay = true;
  return true;
}

// The one place a connection is read: each piece goes to the status responder (which answers
// DLE EOT and GS I at once), then to the drawing. Ends when the sender closes, stays silent for
// the idle time, sends more than a job may hold, must make way for a new connection, or Stop()
// is called.
ListenServer::Received ListenServer::ReadConnection(Connection& connection,
                                                   TicketRenderer& renderer,
                                                   StatusResponder& responder, Slot& slot,
                                                   RawCopy& raw) {
  Received got;
  char buffer[16384];
  const auto slice = std::min(options_.idleTimeout, kReadSlice);
  auto quietSince = Clock::now();
  for (;;) {
    const Connection::Read read = connection.ReadSome(buffer, sizeof buffer, slice);
    switch (read.got) {
      case Connection::Got::Stopped:
        if (got.bytes > 0) got.notes.push_back(say::ListenStoppedDuringJob());
        return got;
      case Connection::Got::Idle:
        if (slot.makeWay) {
          if (got.bytes > 0) got.notes.push_back(say::ListenMadeWay(options_.maxConnections));
          return got;
        }
        if (Clock::now() - quietSince < options_.idleTimeout) continue;
        if (got.bytes > 0) got.notes.push_back(say::ListenIdle(options_.idleTimeout.count()));
        return got;
      case Connection::Got::Closed:
        return got;
      case Connection::Got::Bytes:
        break;
    }
    quietSince = Clock::now();
    slot.lastBytesAt = NowMs();
    const BytesView piece(buffer, read.size);
    got.bytes += piece.size();
    raw.Write(piece);
    connection.SendBack(responder.Feed(piece));
    if (!renderer.Feed(piece)) return got;  // past the job's bound: the report says so
  }
}

void ListenServer::Serve(std::unique_ptr<Connection> connection,
                         const std::function<void(const ListenJob&)>& onJob, Slot& slot) {
  // The job's share of the memory, given back however the job ends (after its drawing goes).
  struct Share {
    MemoryBudget& budget;
    std::uint64_t held = 0;
    bool waited = false;
    bool refused = false;
    ~Share() { budget.Give(held); }
  } share{memory_};
  RenderOptions render = options_.render;
  render.mayGrow = [this, &share, &slot](std::uint64_t bytes) {
    const auto outcome = memory_.Take(bytes, share.held, options_.idleTimeout, [this, &slot] {
      return socket_.Stopped() || slot.makeWay;
    });
    if (outcome == MemoryBudget::Outcome::Refused) {
      share.refused = true;
      return false;
    }
    share.waited = share.waited || outcome == MemoryBudget::Outcome::TakenAfterWaiting;
    share.held += bytes;
    return true;
  };
  TicketRenderer renderer(render);
  StatusResponder responder(options_.simulate);
  std::filesystem::path part;
  if (options_.keepBytes) {
    std::lock_guard lock(mutex_);
    part = options_.outDir / ("receiving-" + std::to_string(nextRawCopy_++) + ".part");
  }
  RawCopy raw(part);
  Received got = ReadConnection(*connection, renderer, responder, slot, raw);
  if (share.waited) got.notes.push_back(say::ListenWaitedForMemory(memory_.cap()));

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
  if (share.refused) got.notes.push_back(say::ListenRefusedMemory(memory_.cap()));
  job.report = std::move(got.notes);
  job.report.insert(job.report.end(), ticket.report.begin(), ticket.report.end());
  if (ticket.height == 0) {  // refused memory for its very first row: no picture to write
    std::lock_guard lock(mutex_);
    onJob(job);
    return;
  }

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
  job.raw = raw.KeepAs(std::filesystem::path(job.png).replace_extension(".bin"));
  onJob(job);
}

}  // namespace qrticket::viewer
