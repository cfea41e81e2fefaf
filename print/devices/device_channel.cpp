#include "devices/device_channel.h"

#include <optional>

#include "devices/device_failures.h"

namespace qrticket {

DeviceChannel::DeviceChannel(ChannelOptions options, SystemCalls& sys)
    : options_(options), sys_(sys) {}

DeviceChannel::~DeviceChannel() { ReleaseAll(); }

void DeviceChannel::OpenForOutput(int channel, std::string_view name) {
  if (table_.contains(channel)) throw failures::AlreadyOpen(channel);
  auto device = OpenOutputDevice(name, options_, sys_);
  table_.emplace(channel, Entry{std::move(device), {}});
}

void DeviceChannel::PrintItems(int channel, const PrintStatement& statement) {
  const auto it = table_.find(channel);
  if (it == table_.end()) throw failures::BadChannel(channel);
  AppendStatement(statement, it->second.pending);
  if (it->second.pending.size() >= kHoldLimit) Flush(it->second);
}

void DeviceChannel::Flush(Entry& entry) {
  // Whatever happens, these bytes are handed over once: after a failure they are dropped, not
  // sent again.
  Bytes out;
  out.swap(entry.pending);
  if (!out.empty()) entry.device->Write(out);
}

void DeviceChannel::CloseAll() {
  std::optional<PrintFailure> first;
  for (auto& [number, entry] : table_) {
    try {
      Flush(entry);
      entry.device->Close();
    } catch (const PrintFailure& failure) {
      if (!first) first = failure;
    }
  }
  table_.clear();  // closed, even where closing failed: the device was released
  if (first) throw *first;
}

void DeviceChannel::ReleaseAll() noexcept { table_.clear(); }

}  // namespace qrticket
