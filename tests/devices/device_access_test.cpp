// Permissions as an ordinary user meets them: discovery says who may write and which group to
// join, and a refused port names that group. Runs as "nobody" (root may write to anything).
#include <grp.h>
#include <gtest/gtest.h>

#include <sstream>

#include "as_nobody.h"
#include "devices/device_failures.h"
#include "devices/posix/device_node.h"
#include "discovery/device_discovery.h"
#include "fake_device_tree.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;

bool GroupsExist(std::string& skip) {
  for (const char* group : {"lp", "dialout"})
    if (::getgrnam(group) == nullptr) skip = std::string("no group ") + group;
  return skip.empty();
}

TEST(DeviceAccess, DiscoverySaysWhoMayWriteAndWhichGroupToJoin) {
  std::string skip;
  if (!GroupsExist(skip)) GTEST_SKIP() << skip;
  FakeDeviceTree tree;
  tree.Fifo("/dev/usb/lp0", 0660, "lp");
  tree.Fifo("/dev/ttyUSB0", 0660, "dialout");
  tree.Fifo("/dev/ttyACM0", 0666);
  tree.Fifo("/dev/rfcomm0", 0600);    // only root: no group helps
  tree.Fifo("/dev/lp0", 0640, "lp");  // the group may read, not write

  const auto listing = RunAsNobody(
      [&] {
        DiscoveryOptions options;
        options.root = tree.root();
        options.includeCups = false;
        std::ostringstream out;
        for (const DiscoveredDevice& d : DiscoverDevices(options))
          out << d.name << '|' << d.writable << '|' << d.accessGroup << '|' << ShownDescription(d)
              << '\n';
        return out.str();
      },
      skip);
  if (!skip.empty()) GTEST_SKIP() << skip;
  ASSERT_TRUE(listing);
  EXPECT_EQ(*listing,
            "/dev/usb/lp0|0|lp|Impressora USB — sem permissão: junte-se ao grupo lp\n"
            "/dev/ttyUSB0|0|dialout|Porta série USB /dev/ttyUSB0 — sem permissão: junte-se ao "
            "grupo dialout\n"
            "/dev/ttyACM0|1||Porta série USB /dev/ttyACM0\n"
            "/dev/rfcomm0|0||Porta série Bluetooth /dev/rfcomm0 — sem permissão de escrita\n"
            "LPT1:|0||Porta paralela /dev/lp0 — sem permissão de escrita\n");
}

struct RefusalRow {
  const char* name;
  std::string typed;
  std::string node;
  mode_t mode;
  std::string group;
  std::string expected;
};

void PrintTo(const RefusalRow& row, std::ostream* out) { *out << row.name; }

class RefusedDevice : public ::testing::TestWithParam<RefusalRow> {};

TEST_P(RefusedDevice, NamesTheGroupThatGivesAccess) {
  const RefusalRow& row = GetParam();
  std::string skip;
  if (!GroupsExist(skip)) GTEST_SKIP() << skip;
  FakeDeviceTree tree;
  tree.Fifo(row.node, row.mode, row.group);
  if (row.node.starts_with("/dev/ttyS"))
    tree.File("/sys/class/tty/" + row.node.substr(5) + "/type", "4");

  const auto message = RunAsNobody(
      [&]() -> std::string {
        try {
          OpenDeviceNode(ResolveDeviceName(row.typed), row.typed,
                         {.stallTimeout = 500ms, .connectTimeout = 500ms}, SystemCalls::Real(),
                         tree.root());
          return "(opened)";
        } catch (const PrintFailure& failure) {
          return failure.description();
        }
      },
      skip);
  if (!skip.empty()) GTEST_SKIP() << skip;
  ASSERT_TRUE(message);
  EXPECT_EQ(*message, row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RefusedDevice,
    ::testing::Values(
        RefusalRow{
            "SerialPort", "COM1:", "/dev/ttyS0", 0660, "dialout",
            failures::AccessRefusedJoinGroup("COM1:", "/dev/ttyS0", "dialout").description()},
        RefusalRow{"ParallelPort", " lpt2 ", "/dev/lp1", 0660, "lp",
                   failures::AccessRefusedJoinGroup("lpt2", "/dev/lp1", "lp").description()},
        RefusalRow{
            "UsbPrinterByPath", "/dev/usb/lp0", "/dev/usb/lp0", 0660, "lp",
            failures::AccessRefusedJoinGroup("/dev/usb/lp0", "/dev/usb/lp0", "lp").description()},
        RefusalRow{"NoGroupGivesAccess", "COM1:", "/dev/ttyS0", 0600, "",
                   failures::FromErrno(EACCES, "COM1:", failures::Stage::Open).description()}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::testing
