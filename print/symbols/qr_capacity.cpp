// Capacities found by asking libqrencode to encode (Model 2, Micro QR) and remembered, since
// each answer costs a few encodings; Model 1 from its table.
#include "symbols/qr_capacity.h"

#include <array>
#include <mutex>

#include "symbols/qr_encoder.h"
#include "symbols/qr_model1_capacity.h"

namespace qrticket {
namespace {

constexpr int kLevels = 4;
constexpr int kUnknown = -1;

// Byte mode is 8 bits per byte whatever the bytes are, so a run of zeros of a length
// measures every text of that length.
bool Holds(QrModel model, QrEcLevel level, int version, int length) {
  const Bytes zeros(static_cast<std::size_t>(length), '\0');
  return EncodeQr(zeros, model, level, version).has_value();
}

// The largest length `version` holds, by bisection between `low` (held) and `high` (not held).
int LargestHeld(QrModel model, QrEcLevel level, int version, int low, int high) {
  while (high - low > 1) {
    const int middle = low + (high - low) / 2;
    (Holds(model, level, version, middle) ? low : high) = middle;
  }
  return low;
}

class CapacityCache {
 public:
  CapacityCache() {
    for (auto& row : model2_) row.fill(kUnknown);
    for (auto& row : micro_) row.fill(kUnknown);
  }

  int Get(QrModel model, QrEcLevel level, int version) {
    std::lock_guard lock(mutex_);
    int& entry = Entry(model, level, version);
    if (entry == kUnknown) entry = Measure(model, level, version);
    return entry;
  }

 private:
  int& Entry(QrModel model, QrEcLevel level, int version) {
    const int row = static_cast<int>(level);
    return model == QrModel::Micro ? micro_[row][version - 1] : model2_[row][version - 1];
  }
  // Called with the lock held. A larger version never holds less, so one already measured
  // bounds the search; 8192 is above the byte capacity of any QR symbol.
  int Measure(QrModel model, QrEcLevel level, int version) {
    int high = 8192;
    if (version < MaxVersion(model)) {
      const int larger = Entry(model, level, version + 1);
      if (larger != kUnknown) high = larger + 1;
    }
    return LargestHeld(model, level, version, 0, high);
  }

  std::mutex mutex_;
  std::array<std::array<int, 40>, kLevels> model2_;
  std::array<std::array<int, 4>, kLevels> micro_;
};

CapacityCache& Cache() {
  static CapacityCache cache;
  return cache;
}

}  // namespace

int ByteCapacity(QrModel model, QrEcLevel level, int version) {
  if (version < 1 || version > MaxVersion(model)) return 0;
  if (model == QrModel::Model1) return Model1ByteCapacity(level, version);
  return Cache().Get(model, level, version);
}

int MaxByteCapacity(QrModel model, QrEcLevel level) {
  return ByteCapacity(model, level, MaxVersion(model));
}

std::optional<QrSize> SmallestSymbol(BytesView data, QrModel model, QrEcLevel level) {
  if (data.empty()) return std::nullopt;
  if (model == QrModel::Model1) {
    for (int version = 1; version <= MaxVersion(model); ++version) {
      if (data.size() <= static_cast<std::size_t>(Model1ByteCapacity(level, version)))
        return QrSize{version, ModulesAt(model, version)};
    }
    return std::nullopt;
  }
  // One encoding answers directly; it costs about as much as a printer's own work.
  const auto grid = EncodeQr(data, model, level);
  if (!grid) return std::nullopt;
  return QrSize{grid->version, grid->modules};
}

}  // namespace qrticket
