// The one road by which bytes leave the program: numbered output channels.
#pragma once

#include <map>
#include <memory>
#include <string_view>

#include "devices/output_device.h"
#include "devices/print_item.h"

namespace qrticket {

class DeviceChannel final {
 public:
  explicit DeviceChannel(ChannelOptions options = {}, SystemCalls& sys = SystemCalls::Real());
  ~DeviceChannel();  // releases whatever is still open, without waiting or reporting

  DeviceChannel(const DeviceChannel&) = delete;
  DeviceChannel& operator=(const DeviceChannel&) = delete;

  // Opens `name` as typed under `channel`. Fails (PrintFailure) when the channel is already
  // open, leaving that output and its pending bytes untouched, or when the name cannot be
  // opened.
  void OpenForOutput(int channel, std::string_view name);

  // Writes the statement's items back to back and then CR LF. Bytes may be held and handed to
  // the device later, so a device's refusal can surface at a later call or at CloseAll.
  void PrintItems(int channel, const PrintStatement& statement);

  // Hands every pending byte to its device, waits until each device has taken them, and
  // closes every channel. Every channel is closed afterwards, even when this throws the first
  // failure it met. With nothing open it does nothing.
  void CloseAll();

  // Closes every channel after a failed job, dropping held bytes and swallowing failures, so
  // that the next job can open the device again.
  void ReleaseAll() noexcept;

  bool isOpen(int channel) const { return table_.contains(channel); }

  // Held bytes are handed over once they reach this size. The longest ticket (its data twice,
  // in the QR block and on the data line) is about 66 KB, so every ticket leaves in one write.
  static constexpr std::size_t kHoldLimit = 128 * 1024;

 private:
  struct Entry {
    std::unique_ptr<OutputDevice> device;
    Bytes pending;
  };
  void Flush(Entry& entry);

  ChannelOptions options_;
  SystemCalls& sys_;
  std::map<int, Entry> table_;
};

}  // namespace qrticket
