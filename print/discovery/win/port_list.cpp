// Serial and parallel ports from the registry's device map: what the drivers registered, so
// no port is opened (or, under Wine, no Linux device touched) to find them. Each serial port
// is then opened for a moment for the settings it is at, as on Linux.
#include <cctype>
#include <algorithm>
#include <map>
#include <optional>
#include <tuple>

#include "devices/device_name.h"
#include "devices/system_calls.h"
#include "devices/win/comm_line.h"
#include "devices/win/wide_text.h"
#include "devices/win/windows_names.h"
#include "discovery/discovery_texts.h"
#include "discovery/win/windows_listers.h"

namespace qrticket {
namespace {

// The values of one key of HKEY_LOCAL_MACHINE: name -> data, as text.
std::vector<MappedPort> DeviceMap(const wchar_t* key) {
  std::vector<MappedPort> ports;
  HKEY handle = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return ports;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    wchar_t data[256];
    DWORD nameLength = 256, dataSize = sizeof data, type = 0;
    const LONG result = ::RegEnumValueW(handle, index, name, &nameLength, nullptr, &type,
                                        reinterpret_cast<BYTE*>(data), &dataSize);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS || type != REG_SZ) continue;
    std::wstring_view value(data, dataSize / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') value.remove_suffix(1);
    ports.push_back({Utf8FromWide(std::wstring_view(name, nameLength)), Utf8FromWide(value)});
  }
  ::RegCloseKey(handle);
  return ports;
}

// "COM3" -> the port, when it is one in range.
std::optional<DeviceTarget> PortOf(std::string dosName) {
  if (const auto slash = dosName.rfind('\\'); slash != std::string::npos)
    dosName.erase(0, slash + 1);  // "\DosDevices\LPT1"
  const DeviceTarget target = ResolveDeviceName(dosName);
  if (target.kind != DeviceTarget::Kind::Port || target.path.empty()) return std::nullopt;
  return target;
}

// The Device Manager's name tells an adapter from a built-in port; the device map's name
// ("\Device\Serial2") is all there is without it.
std::string Description(const MappedPort& port, bool serial) {
  if (!serial)
    return port.friendlyName.empty() ? discovery_texts::ParallelPort(port.device, "")
                                     : discovery_texts::WindowsParallelPort(port.friendlyName);
  std::string text = port.friendlyName.empty()
                         ? discovery_texts::SerialPort(port.device, 0, false)
                         : discovery_texts::WindowsSerialPort(port.friendlyName);
  if (port.settings.empty()) return text;
  return discovery_texts::AtSettings(std::move(text), port.settings);
}

void Describe(const std::vector<MappedPort>& ports, bool serial,
              std::vector<DiscoveredDevice>& devices) {
  std::vector<std::pair<int, DiscoveredDevice>> found;
  for (const MappedPort& port : ports) {
    const std::optional<DeviceTarget> target = PortOf(port.dosName);
    if (!target) continue;
    std::string name = target->portName;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const int number = std::stoi(name.substr(3));
    found.push_back({number,
                     {.name = name + ":",
                      .description = Description(port, serial),
                      .writable = true,
                      .accessGroup = {}}});
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& entry : found) devices.push_back(std::move(entry.second));
}

}  // namespace

std::vector<DiscoveredDevice> DescribePorts(const std::vector<MappedPort>& serial,
                                            const std::vector<MappedPort>& parallel) {
  std::vector<DiscoveredDevice> devices;
  Describe(serial, true, devices);
  Describe(parallel, false, devices);
  return devices;
}

std::vector<DiscoveredDevice> ListWindowsPorts() {
  std::vector<MappedPort> serial = DeviceMap(L"HARDWARE\\DEVICEMAP\\SERIALCOMM");
  std::vector<MappedPort> parallel = DeviceMap(L"HARDWARE\\DEVICEMAP\\PARALLEL PORTS");
  const std::map<std::string, PortIdentity> names = PortIdentities();
  for (auto* ports : {&serial, &parallel})
    for (MappedPort& port : *ports) {
      const std::optional<DeviceTarget> target = PortOf(port.dosName);
      if (!target) continue;
      std::string key = target->portName;
      std::transform(key.begin(), key.end(), key.begin(),
                     [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
      const auto found = names.find(key);
      if (found != names.end()) port.friendlyName = found->second.friendlyName;
      if (ports != &serial || (found != names.end() && found->second.bluetooth)) continue;
      if (const auto settings = CurrentCommSettings(WindowsPortPath(*target)))
        port.settings = SerialSettingsText(*settings);
    }
  return DescribePorts(serial, parallel);
}

}  // namespace qrticket
