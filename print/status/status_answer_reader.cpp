// Telling answers apart by their fixed bits (the references' "identification of send status").
#include "status/status_answer_reader.h"

#include <algorithm>

namespace qrticket {
namespace {

constexpr unsigned char kXon = 0x11;
constexpr unsigned char kXoff = 0x13;
constexpr unsigned char kTextHeader = 0x5F;
constexpr std::size_t kAutomaticStatusLength = 4;

bool IsStatusAnswer(unsigned char b) { return (b & 0x93) == 0x12; }
bool IsAutomaticStatusStart(unsigned char b) { return (b & 0x93) == 0x10; }
// Identity bytes and the second to fourth automatic status bytes share this pattern.
bool HasBits4And7Clear(unsigned char b) { return (b & 0x90) == 0x00; }

}  // namespace

void AnswerReader::Feed(BytesView bytes) { pending_.append(bytes); }

bool AnswerReader::IsFlowControl(unsigned char byte) const {
  return flowControl_ && (byte == kXon || byte == kXoff);
}

bool AnswerReader::ContinueAutomaticStatus(unsigned char byte) {
  if (!HasBits4And7Clear(byte)) {
    strayCount_ += automaticStatus_.size();  // it was no block after all
    automaticStatus_.clear();
    return false;
  }
  automaticStatus_.push_back(static_cast<char>(byte));
  if (automaticStatus_.size() == kAutomaticStatusLength) {
    ++unaskedCount_;
    lastUnasked_.push_back(automaticStatus_);
    if (lastUnasked_.size() > kKeptUnasked) lastUnasked_.pop_front();
    automaticStatus_.clear();
  }
  return true;
}

std::optional<Bytes> AnswerReader::Take(AnswerKind kind) {
  std::size_t i = 0;
  const auto answer = [&](std::size_t from, std::size_t length, std::size_t consumed) {
    Bytes found = pending_.substr(from, length);
    pending_.erase(0, consumed);
    return found;
  };
  while (i < pending_.size()) {
    const auto b = static_cast<unsigned char>(pending_[i]);
    if (IsFlowControl(b)) {  // serial flow control, between answers
      ++i;
      continue;
    }
    if (!automaticStatus_.empty() && ContinueAutomaticStatus(b)) {
      ++i;
      continue;
    }
    if (IsAutomaticStatusStart(b)) {
      automaticStatus_.assign(1, static_cast<char>(b));
      ++i;
      continue;
    }
    switch (kind) {
      case AnswerKind::StatusByte:
        if (IsStatusAnswer(b)) return answer(i, 1, i + 1);
        break;
      case AnswerKind::IdentityByte:
        if (HasBits4And7Clear(b)) return answer(i, 1, i + 1);
        break;
      case AnswerKind::IdentityText:
        if (b == kTextHeader) {
          const std::size_t end = pending_.find('\0', i + 1);
          if (end == Bytes::npos && pending_.size() - i - 1 <= kMaxIdentityText) {
            pending_.erase(0, i);  // the rest of the block is still on its way
            return std::nullopt;
          }
          if (end != Bytes::npos) {
            Bytes text = pending_.substr(i + 1, end - i - 1);
            text.erase(std::remove_if(text.begin(), text.end(),
                                      [&](char c) {
                                        return IsFlowControl(static_cast<unsigned char>(c));
                                      }),
                       text.end());
            if (text.size() <= kMaxIdentityText) {
              pending_.erase(0, end + 1);
              return text;
            }
          }
        }
        break;
    }
    ++i;  // no answer of this kind: dropped
    ++strayCount_;
  }
  pending_.clear();
  return std::nullopt;
}

bool AnswerReader::TextUnderway() const {
  return !pending_.empty() && static_cast<unsigned char>(pending_[0]) == kTextHeader;
}

void AnswerReader::SetAside() {
  for (const char c : pending_) {
    const auto b = static_cast<unsigned char>(c);
    if (IsFlowControl(b)) continue;
    if (!automaticStatus_.empty() && ContinueAutomaticStatus(b)) continue;
    if (IsAutomaticStatusStart(b)) automaticStatus_.assign(1, c);
    else ++strayCount_;
  }
  pending_.clear();
}

}  // namespace qrticket
