// The output devices this machine has, as the operator would type them: printers and ports
// under /dev, CUPS queues and, for the window, the on-screen preview.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qrticket {

struct DiscoveredDevice {
  std::string name;         // exactly what to type as the device: "/dev/usb/lp0", "cups:Caixa"
  std::string description;  // short, in Portuguese
  bool writable = true;     // the current user may write to it
  std::string accessGroup;  // when not writable: the group that gives access, if one does
};

struct DiscoveryOptions {
  // Where /dev and /sys are found; tests point it at a fake tree.
  std::filesystem::path root = "/";
  bool includeCups = true;
  // Bound on asking the CUPS scheduler, the connection and its two requests together. No
  // scheduler at all answers at once (connection refused); this bounds one that does not
  // answer the connection, or accepts it and then stays silent or answers a byte at a time.
  std::chrono::milliseconds cupsBound{2000};
  // When 0 or more, asking the scheduler ends at once once this descriptor is readable (see
  // ChannelOptions::cancelFd); the list then has no queues.
  int cancelFd = -1;
  // "VISUALIZAR:", for the window's list (the command line's leaves it out).
  bool includePreview = false;
};

// The device name that draws the ticket with the virtual printer instead of sending it: on
// screen in the window, into a picture from the command line.
inline constexpr const char* kPreviewDevice = "VISUALIZAR:";

// True for "VISUALIZAR:" in any case, with blanks around it or not.
bool IsPreviewDeviceName(std::string_view text);

// Every source in a fixed order: USB printers, serial ports (USB, Bluetooth, then the
// machine's own), parallel ports, CUPS queues, the preview. Never fails: a source that cannot
// be read adds nothing.
std::vector<DiscoveredDevice> DiscoverDevices(const DiscoveryOptions& options = {});

// The "VISUALIZAR:" entry, last in every platform's list when the window asks for it.
DiscoveredDevice PreviewDevice();

// The description, control characters shown as "[0x1B]", with what the operator must do when
// the device refuses them ("... — sem permissão: junte-se ao grupo dialout").
std::string ShownDescription(const DiscoveredDevice& device);

}  // namespace qrticket
