// Port names opened through a fake /dev and /sys: a present port prints, a missing one fails
// naming port and file and is never created, and a port-shaped name never becomes a file in
// the working folder. Nothing here opens the machine's own serial or parallel ports.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "devices/device_failures.h"
#include "devices/posix/device_node.h"
#include "fake_device_tree.h"
#include "job_runner.h"
#include "ticket/ticket_defaults.h"
#include "ticket/ticket_job.h"
#include "ticket_bytes.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;

const ChannelOptions kOptions{.stallTimeout = 500ms, .connectTimeout = 500ms};

struct PortRow {
  const char* name;
  std::string typed;
  // Builds the tree; returns a reader of what reached the device, or nothing when the open
  // must fail.
  std::function<std::function<Bytes(std::size_t)>(FakeDeviceTree&)> build;
  std::string failure;  // the description expected when the open fails
};

void PrintTo(const PortRow& row, std::ostream* out) { *out << row.name; }

// A port with a UART behind it, a pseudo-terminal standing in for the line.
std::function<std::function<Bytes(std::size_t)>(FakeDeviceTree&)> PresentPort(std::string node) {
  return [node](FakeDeviceTree& tree) -> std::function<Bytes(std::size_t)> {
    PtyPair& pty = tree.Pty("/dev/" + node);
    if (node.starts_with("ttyS")) tree.File("/sys/class/tty/" + node + "/type", "4\n");
    return [&pty](std::size_t count) { return pty.ReadMaster(count, 3000ms); };
  };
}

std::function<std::function<Bytes(std::size_t)>(FakeDeviceTree&)> Tree(
    std::function<void(FakeDeviceTree&)> build) {
  return [build](FakeDeviceTree& tree) -> std::function<Bytes(std::size_t)> {
    build(tree);
    return nullptr;
  };
}

class PortOpening : public ::testing::TestWithParam<PortRow> {};

TEST_P(PortOpening, PrintsOrFailsNamingPortAndFile) {
  const PortRow& row = GetParam();
  FakeDeviceTree tree;
  const auto read = row.build(tree);
  const DeviceTarget target = ResolveDeviceName(row.typed);
  const Bytes ticket = TicketBytes(TicketTo("x", kSampleDataText));

  if (!read) {
    try {
      OpenDeviceNode(target, row.typed, kOptions, SystemCalls::Real(), tree.root());
      ADD_FAILURE() << "the port opened";
    } catch (const PrintFailure& failure) {
      EXPECT_EQ(failure.description(), row.failure);
    }
    if (!target.path.empty()) {
      std::error_code ignored;
      EXPECT_FALSE(std::filesystem::is_regular_file(tree.At(target.path), ignored))
          << "a file was made where the port should be";
    }
    return;
  }
  auto device = OpenDeviceNode(target, row.typed, kOptions, SystemCalls::Real(), tree.root());
  device->Write(ticket);
  device->Close();
  EXPECT_EQ(Hex(read(ticket.size())), Hex(ticket));
}

INSTANTIATE_TEST_SUITE_P(
    Ports, PortOpening,
    ::testing::Values(PortRow{"Com7Present", "COM7:", PresentPort("ttyS6"), ""},
                      PortRow{"Com256Present", "com256", PresentPort("ttyS255"), ""},
                      PortRow{"Lpt3WithSpacesAround", " lpt3 ", PresentPort("lp2"), ""},
                      PortRow{"Com7Missing", "COM7:", Tree([](FakeDeviceTree&) {}),
                              failures::PortMissing("COM7:", "/dev/ttyS6").description()},
                      PortRow{"Lpt1MissingNamedWithoutSpaces", "  LPT1  ",
                              Tree([](FakeDeviceTree&) {}),
                              failures::PortMissing("LPT1", "/dev/lp0").description()},
                      PortRow{"Com2WithoutUart", "COM2:", Tree([](FakeDeviceTree& t) {
                                t.Fifo("/dev/ttyS1");
                                t.File("/sys/class/tty/ttyS1/type", "0\n");
                              }),
                              failures::PortWithoutHardware("COM2:", "/dev/ttyS1").description()},
                      PortRow{"Com257OutOfRange", "COM257:", Tree([](FakeDeviceTree&) {}),
                              failures::BadPortName("COM257:").description()},
                      PortRow{"Lpt4OutOfRange", "lpt4", Tree([](FakeDeviceTree&) {}),
                              failures::BadPortName("lpt4").description()},
                      PortRow{"FailuresNameThePort", "COM3:", Tree([](FakeDeviceTree& t) {
                                t.Fifo("/dev/ttyS2");  // nobody reads this "line"
                                t.File("/sys/class/tty/ttyS2/type", "4\n");
                              }),
                              failures::NoReader("COM3:").description()}),
    [](const auto& info) { return std::string(info.param.name); });

// Refuses every open of a serial or parallel port as if it were missing, and notes the
// attempt: the job below must never reach the machine's real ports.
class NoRealPorts final : public SystemCalls {
 public:
  int Open(const char* path, int flags, mode_t mode) override {
    const std::string_view p = path;
    if (p.starts_with("/dev/ttyS") || p.starts_with("/dev/lp")) {
      errno = ENOENT;
      return -1;
    }
    return SystemCalls::Open(path, flags, mode);
  }
};

struct ShapeRow {
  std::string typed;
  std::string failureStart;  // a port on this machine may also lack its UART: the rest varies
};

TEST(PortShapedNames, NeverBecomeFilesInTheWorkingFolder) {
  const std::vector<ShapeRow> rows = {
      {"COM7:", failures::PortMissing("COM7:", "/dev/ttyS6").description()},
      {"COM1", failures::PortMissing("COM1", "/dev/ttyS0").description()},
      {" LPT1: ", failures::PortMissing("LPT1:", "/dev/lp0").description()},
      {"lpt3", failures::PortMissing("lpt3", "/dev/lp2").description()},
      {"COM256", failures::PortMissing("COM256", "/dev/ttyS255").description()},
      {"COM0", failures::BadPortName("COM0").description()},
      {"COM257:", failures::BadPortName("COM257:").description()},
      {"LPT4", failures::BadPortName("LPT4").description()},
      {"com01", failures::BadPortName("com01").description()},
  };
  TempDir folder;
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());
  NoRealPorts sys;
  for (const ShapeRow& row : rows) {
    const JobOutcome outcome = RunJob(TicketTo(row.typed, kSampleDataText), kOptions, sys);
    ASSERT_TRUE(outcome.message) << row.typed << " printed";
    EXPECT_TRUE(outcome.message->starts_with(kFailurePrefix + row.failureStart))
        << row.typed << ": " << *outcome.message;
  }
  std::filesystem::current_path(previous);
  EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << "a port name became a file";
}

}  // namespace
}  // namespace qrticket::testing
