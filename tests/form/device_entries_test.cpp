// ObjPrint's entries from the devices found: a port a fixed entry names is not listed twice,
// its description goes to the fixed entry.
#include <gtest/gtest.h>

#include "device_entries.h"

namespace qrticket::ui {
namespace {

DiscoveredDevice Device(const std::string& name, const std::string& description) {
  DiscoveredDevice device;
  device.name = name;
  device.description = description;
  return device;
}

TEST(DeviceEntries, APortTheFixedEntriesNameIsDescribedThereNotListedAgain) {
  const std::vector<DiscoveredDevice> devices = {
      Device("COM1:", "Porta série \\Device\\Serial0"),
      Device("COM12:", "Porta série \\Device\\Serial11"),
      Device("LPT2:", "Porta paralela"),
      Device("usb:EPSON", "Impressora USB"),
  };
  const std::vector<DeviceEntry> entries = DeviceEntries(devices);
  ASSERT_EQ(entries.size(), 2U);
  EXPECT_EQ(entries[0].name, "COM12:");
  EXPECT_EQ(entries[1].name, "usb:EPSON");

  const std::vector<std::string> fixed = FixedEntryDescriptions(devices);
  ASSERT_EQ(fixed.size(), static_cast<std::size_t>(kFixedDeviceEntries));
  // LPT1:, LPT2:, COM1:, COM2: ... and the empty entry.
  EXPECT_EQ(fixed[0], "");
  EXPECT_EQ(fixed[1], ShownDescription(devices[2]));
  EXPECT_EQ(fixed[2], ShownDescription(devices[0]));
  EXPECT_EQ(fixed[8], "");
}

TEST(DeviceEntries, WithoutThosePortsNothingMoves) {
  const std::vector<DiscoveredDevice> devices = {Device("/dev/ttyUSB0", "Porta série USB")};
  ASSERT_EQ(DeviceEntries(devices).size(), 1U);
  for (const std::string& description : FixedEntryDescriptions(devices))
    EXPECT_EQ(description, "");
}

}  // namespace
}  // namespace qrticket::ui
