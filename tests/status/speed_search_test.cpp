// Finding a serial printer's speed: against the test's own printer on a pty (automatic status
// streaming in, one look-alike answer at each wrong speed, silence, a cancel) and against the
// virtual serial printer at several speeds. Each search is bounded and leaves the line as it
// found it.
#include <unistd.h>

#include <set>
#include <thread>

#include <gtest/gtest.h>

#include "devices/device_failures.h"
#include "running_serial_printer.h"
#include "serial_test_printer.h"
#include "status/speed_search.h"
#include "status/status_failures.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(SpeedSearch, CommonSettingsFirst) {
  std::vector<std::string> texts;
  for (const SerialSettings& s : SpeedCandidates()) texts.push_back(SerialSettingsText(s));
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "9600,n,8,1", "19200,n,8,1", "38400,n,8,1", "115200,n,8,1", "57600,n,8,1",
                       "4800,n,8,1", "2400,n,8,1", "9600,e,7,1", "19200,e,7,1", "38400,e,7,1",
                       "115200,e,7,1", "57600,e,7,1", "4800,e,7,1", "2400,e,7,1"}));
}

struct OwnPrinterRow {
  const char* name;
  SerialTestBehaviour behaviour;
  std::optional<std::uint32_t> found;
};
void PrintTo(const OwnPrinterRow& row, std::ostream* out) { *out << row.name; }

class SpeedSearchOwnPrinter : public ::testing::TestWithParam<OwnPrinterRow> {};

TEST_P(SpeedSearchOwnPrinter, FindsTheSpeedAndLeavesTheLine) {
  const OwnPrinterRow& row = GetParam();
  SerialTestPrinter printer(row.behaviour);
  printer.line().SetSpeed(row.behaviour.speed == 1200 ? 300 : 1200, /*twoStopBits=*/true);
  const LineSettings own = printer.line().Line();
  const auto start = Clock::now();
  const auto [found, cutAt] = FindSerialSettings(printer.path(), {});
  const auto took = Clock::now() - start;
  ASSERT_EQ(found.has_value(), row.found.has_value())
      << (found ? SerialSettingsText(*found) : "none");
  if (found) {
    EXPECT_EQ(SerialSettingsText(*found), std::to_string(*row.found) + ",n,8,1");
  }
  EXPECT_FALSE(cutAt.has_value()) << "every candidate is tried within the bound";
  EXPECT_EQ(printer.line().Line(), own) << "the line is not as it was";
  // 14 tries at about 200 ms each, and the bound of the whole search.
  EXPECT_LT(took, 9s);
  // Every request came at a speed the search had set, never at the line's own.
  std::set<std::uint32_t> candidates;
  for (const SerialSettings& s : SpeedCandidates()) candidates.insert(s.speed);
  for (const std::uint32_t speed : printer.requestSpeeds())
    EXPECT_TRUE(candidates.contains(speed)) << speed;
}

INSTANTIATE_TEST_SUITE_P(
    Pty, SpeedSearchOwnPrinter,
    ::testing::Values(
        OwnPrinterRow{"At9600", {.speed = 9600}, 9600},
        OwnPrinterRow{"At38400", {.speed = 38400}, 38400},
        OwnPrinterRow{"At2400", {.speed = 2400}, 2400},
        OwnPrinterRow{"WithAutomaticStatus", {.speed = 57600, .automaticStatus = true}, 57600},
        OwnPrinterRow{"LookAlikeAtWrongSpeeds", {.speed = 115200, .onceAtEveryWrongSpeed = true},
                      115200},
        OwnPrinterRow{"SpeedNotAmongThem", {.speed = 250000}, std::nullopt},
        // Noise answers nothing, whatever bytes in it look like status bytes.
        OwnPrinterRow{"NoiseAt100PerSecond",
                      {.speed = 9600, .silent = true, .noisePerSecond = 100}, std::nullopt},
        OwnPrinterRow{"NoiseAt1000PerSecond",
                      {.speed = 9600, .silent = true, .noisePerSecond = 1000}, std::nullopt},
        OwnPrinterRow{"PrinterInNoise", {.speed = 19200, .noisePerSecond = 1000}, std::nullopt},
        OwnPrinterRow{"Silent", {.speed = 9600, .silent = true}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// The bound stops a search that has not tried every candidate: it says where.
TEST(SpeedSearch, SaysWhereTheBoundCutIt) {
  SerialTestPrinter printer({.speed = 9600, .silent = true});
  SpeedSearchOptions options;
  options.whole = 700ms;
  std::vector<std::string> tried;
  const auto [found, cutAt] = FindSerialSettings(printer.path(), options,
                                                 [&](const SerialSettings& s) {
                                                   tried.push_back(SerialSettingsText(s));
                                                 });
  EXPECT_FALSE(found.has_value());
  ASSERT_TRUE(cutAt.has_value());
  ASSERT_FALSE(tried.empty());
  EXPECT_LT(tried.size(), SpeedCandidates().size());
  const std::string cut = SerialSettingsText(*cutAt);
  EXPECT_TRUE(cut == tried.back() || cut == SerialSettingsText(SpeedCandidates()[tried.size()]))
      << cut;
}

TEST(SpeedSearch, CancelledPutsTheLineBack) {
  SerialTestPrinter printer({.speed = 9600, .silent = true});
  printer.line().SetSpeed(1200);
  const LineSettings own = printer.line().Line();
  int cancel[2];
  ASSERT_EQ(::pipe(cancel), 0);
  std::thread stopper([&] {
    std::this_thread::sleep_for(300ms);
    ASSERT_EQ(::write(cancel[1], "x", 1), 1);
  });
  SpeedSearchOptions options;
  options.cancelFd = cancel[0];
  const auto start = Clock::now();
  try {
    FindSerialSettings(printer.path(), options);
    ADD_FAILURE() << "not interrupted";
  } catch (const PrintFailure& failure) {
    EXPECT_EQ(failure.code(), FailureCode::Interrupted) << failure.description();
  }
  EXPECT_LT(Clock::now() - start, 1500ms);
  stopper.join();
  ::close(cancel[0]);
  ::close(cancel[1]);
  EXPECT_EQ(printer.line().Line(), own);
}

TEST(SpeedSearch, OnlySerialDevicesWithoutSettings) {
  SerialTestPrinter printer({});
  for (const std::string& device :
       {std::string("/dev/null"), std::string("tcp://127.0.0.1:1"), std::string("notas.txt")}) {
    try {
      FindSerialSettings(device, {});
      ADD_FAILURE() << device;
    } catch (const PrintFailure& failure) {
      EXPECT_EQ(failure.description(), failures::NotASerialLine(device).description());
    }
  }
  const std::string withSettings = printer.path() + ":9600";
  try {
    FindSerialSettings(withSettings, {});
    ADD_FAILURE() << withSettings;
  } catch (const PrintFailure& failure) {
    EXPECT_EQ(failure.description(),
              failures::SpeedSearchWithSettings(withSettings).description());
  }
  EXPECT_TRUE(printer.requestSpeeds().empty());
}

class SpeedSearchVirtualPrinter : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(SpeedSearchVirtualPrinter, FindsItsSpeed) {
  viewer::testing::RunningSerialPrinter printer({.speed = GetParam()});
  const auto found = FindSerialSettings(printer.path(), {}).found;
  ASSERT_TRUE(found);
  EXPECT_EQ(*found, SerialSettings{.speed = GetParam()});
}

INSTANTIATE_TEST_SUITE_P(Speeds, SpeedSearchVirtualPrinter,
                         ::testing::Values(19200, 115200, 4800));

}  // namespace
}  // namespace qrticket::testing
