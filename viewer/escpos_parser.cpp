// Feeding the stream to the parser piece by piece: a command left incomplete at the end of one
// piece is held (bounded) until the next completes it; one too long to hold is dropped as it
// arrives.
#include "escpos_parser.h"

#include <algorithm>

#include "escpos_step.h"

namespace qrticket::viewer {

void EscPosParser::Discard(BytesView& chunk) {
  const std::size_t dropped =
      static_cast<std::size_t>(std::min<std::uint64_t>(discard_, chunk.size()));
  discard_ -= dropped;
  offset_ += dropped;
  chunk.remove_prefix(dropped);
}

void EscPosParser::Feed(BytesView chunk, EventSink& sink) {
  // A command left incomplete by the last chunk: top it up from this one. Bytes taken beyond
  // what it needed go back to the chunk, where they came from.
  while (!pending_.empty() && !chunk.empty()) {
    const std::size_t want = pendingNeed_ > pending_.size() ? pendingNeed_ - pending_.size() : 16;
    const std::size_t take = std::min(want, chunk.size());
    pending_.append(chunk.substr(0, take));
    chunk.remove_prefix(take);
    if (pendingNeed_ > pending_.size()) return;  // the chunk is used up
    Step step(*this, pending_, 0, offset_, false, sink);
    const std::size_t used = step.Run();
    if (used == 0) {
      pendingNeed_ = step.need;
      // Whatever the command, no more than the bound is held: the rest of it is dropped.
      if (pendingNeed_ == 0 && pending_.size() > maxCommandBytes_) {
        sink.OnEvent(Event(Oversized{static_cast<std::size_t>(offset_), step.needing,
                                     pending_.size()}));
        offset_ += pending_.size();
        pending_.clear();
      }
      continue;
    }
    const std::size_t extra = pending_.size() - used;
    chunk = BytesView(chunk.data() - extra, chunk.size() + extra);
    offset_ += used;
    pending_.clear();
    pendingNeed_ = 0;
  }
  std::size_t pos = 0;
  while (pos < chunk.size()) {
    if (discard_ > 0) {
      BytesView rest = chunk.substr(pos);
      Discard(rest);
      pos = chunk.size() - rest.size();
      continue;
    }
    Step step(*this, chunk, pos, offset_, false, sink);
    const std::size_t used = step.Run();
    if (used == 0) {
      pending_.assign(chunk.substr(pos));
      pendingNeed_ = step.need;
      return;
    }
    pos += used;
    offset_ += used;
  }
}

void EscPosParser::Finish(EventSink& sink) {
  if (discard_ > 0) {
    sink.OnEvent(Event(Truncated{discardOffset_, discardCommand_}));
    offset_ += discard_;
    discard_ = 0;
  }
  std::size_t pos = 0;
  while (pos < pending_.size()) {
    Step step(*this, pending_, pos, offset_, true, sink);
    const std::size_t used = step.Run();
    pos += used;
    offset_ += used;
  }
  pending_.clear();
  pendingNeed_ = 0;
}

std::vector<Event> ParseEscPos(BytesView stream) {
  struct Collector : EventSink {
    std::vector<Event> events;
    void OnEvent(const Event& e) override { events.push_back(e); }
  } collector;
  EscPosParser parser;
  parser.Feed(stream, collector);
  parser.Finish(collector);
  return std::move(collector.events);
}

}  // namespace qrticket::viewer
