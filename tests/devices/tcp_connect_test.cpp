// Reaching network printers: names, IPv6, addresses in forms we do not take, what a name lookup
// can answer. Names are looked up only through the resolver seam or in a network namespace of
// the test's own: nothing here asks the machine's name server.
#include <netdb.h>
#include <unistd.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "devices/device_failures.h"
#include "devices/ipv4_forms.h"
#include "devices/posix/host_resolution.h"
#include "job_runner.h"
#include "loopback_printer.h"
#include "own_network.h"
#include "ticket/ticket_defaults.h"
#include "ticket/ticket_failures.h"
#include "ticket/ticket_job.h"
#include "ticket_bytes.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;

const ChannelOptions kOptions{.stallTimeout = 2000ms, .connectTimeout = 2000ms};

// A job to `printer` under the name `device`; the printer gets the whole ticket.
void ExpectDelivered(LoopbackPrinter& printer, const std::string& device,
                     SystemCalls& sys = SystemCalls::Real()) {
  const auto settings = TicketTo(device, kSampleDataText);
  EXPECT_EQ(RunJob(settings, kOptions, sys).message, std::nullopt);
  ASSERT_TRUE(printer.WaitFinished(3000ms));
  EXPECT_EQ(printer.received(), TicketBytes(settings));
  EXPECT_TRUE(printer.sawEndOfStream()) << "the job reset the connection instead of closing it";
}

TEST(TcpConnect, Ipv6Loopback) {
  LoopbackPrinter printer(PrinterBehaviour{.ipv6 = true});
  if (!printer.ok()) GTEST_SKIP() << "no IPv6 loopback here";
  ExpectDelivered(printer, printer.DeviceName());
}

TEST(TcpConnect, UnreadableNamesFailBeforeAnyConnection) {
  for (const std::string device : {"tcp://", "tcp://printer:0", "tcp://[::1", "tcp://[nonsense]:9100",
                                   "tcp://[127.0.0.1]:9100"}) {
    const JobOutcome outcome = RunJob(TicketTo(device, kSampleDataText), kOptions);
    EXPECT_EQ(outcome.message, kFailurePrefix + failures::BadFileName(device).description())
        << device;
  }
}

// IPv4 addresses are four dotted decimal numbers. The C library also reads "127.1",
// "0x7f.0.0.1", "0177.0.0.1" or "2130706433" as 127.0.0.1: each of those is refused as a bad
// name, and the listener on 127.0.0.1 sees no connection.
struct AddressRow {
  const char* name;
  const char* host;
};
void PrintTo(const AddressRow& row, std::ostream* out) { *out << row.name; }

class UnusualIpv4 : public ::testing::TestWithParam<AddressRow> {};

TEST_P(UnusualIpv4, IsRefusedWithoutConnecting) {
  QuietListener listener;
  const std::string device =
      "tcp://" + std::string(GetParam().host) + ":" + std::to_string(listener.port());
  const JobOutcome outcome = RunJob(TicketTo(device, kSampleDataText), kOptions);
  EXPECT_EQ(outcome.message, kFailurePrefix + failures::BadFileName(device).description());
  EXPECT_FALSE(listener.SawAConnection()) << "connected to an address nobody wrote";
}

INSTANTIATE_TEST_SUITE_P(
    Forms, UnusualIpv4,
    ::testing::Values(AddressRow{"TwoParts", "127.1"}, AddressRow{"ThreeParts", "127.0.1"},
                      AddressRow{"OneNumber", "2130706433"},
                      AddressRow{"Hexadecimal", "0x7f.0.0.1"},
                      AddressRow{"HexadecimalWhole", "0x7f000001"},
                      AddressRow{"ShortHexadecimal", "0x7f.1"},
                      AddressRow{"Octal", "0177.0.0.1"},
                      AddressRow{"LeadingZero", "127.0.0.01"},
                      AddressRow{"LeadingZeroReadAsOctal", "127.0.0.010"},
                      AddressRow{"FiveParts", "127.0.0.1.1"},
                      AddressRow{"TrailingDot", "127.0.0.1."},
                      AddressRow{"PartOver255", "127.0.0.256"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TcpConnect, WhatCountsAsAnUnusualIpv4Form) {
  for (const char* host : {"127.0.0.1", "10.0.0.7", "0.0.0.0", "255.255.255.255", "printer",
                           "1e100.net", "123.shop.lan", "x127.0.0.1", "printer-10.1", "0x7g.1",
                           "cafe", "0xcafe.lan"})
    EXPECT_FALSE(IsUnusualIpv4Form(host)) << host;
  for (const char* host : {"10.1", "4711", "1.2.3.4.5", "0x1", "0X7F.1", "017.0.0.1", "..", "1.",
                           "192.168.001.050", "0x7f.0.0.0x1", "0xC0A80101"})
    EXPECT_TRUE(IsUnusualIpv4Form(host)) << host;
}

// A module size that cannot be converted fails the job before it connects.
TEST(TcpConnect, AnInvalidModuleSizeMakesNoConnection) {
  QuietListener listener;
  auto settings = TicketTo("tcp://127.0.0.1:" + std::to_string(listener.port()), kSampleDataText);
  settings.moduleSizeText = "99999999999";
  const JobOutcome outcome = RunJob(settings, kOptions);
  EXPECT_EQ(outcome.message, kFailurePrefix + failures::ModuleSizeOverflow().description());
  EXPECT_FALSE(listener.SawAConnection()) << "connected (and reset) before failing";
}

// The resolver seam: getaddrinfo answers from a script, or not at all until released.
class ScriptedResolver : public SystemCalls {
 public:
  // `status` is what getaddrinfo returns; 0 answers with 127.0.0.1.
  explicit ScriptedResolver(int status, bool answers = true)
      : status_(status), answers_(answers) {}
  // The helper thread may still be in a lookup the job gave up on: wait for it.
  ~ScriptedResolver() override {
    std::unique_lock lock(mutex_);
    released_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return inLookup_ == 0; });
  }

  int GetAddrInfo(const char*, const char* service, const addrinfo* hints,
                  addrinfo** result) override {
    std::unique_lock lock(mutex_);
    ++inLookup_;
    ++lookups;
    changed_.wait(lock, [this] { return answers_ || released_; });
    --inLookup_;
    changed_.notify_all();
    if (status_ != 0) return status_;
    addrinfo numeric = *hints;
    numeric.ai_flags |= AI_NUMERICHOST;
    return SystemCalls::GetAddrInfo("127.0.0.1", service, &numeric, result);
  }

  int lookups = 0;

 private:
  const int status_;
  const bool answers_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool released_ = false;
  int inLookup_ = 0;
};

struct LookupRow {
  const char* name;
  int status;
  bool answers;
  std::function<std::string(const std::string& device)> expected;
};
void PrintTo(const LookupRow& row, std::ostream* out) { *out << row.name; }

class NameLookup : public ::testing::TestWithParam<LookupRow> {};

// Each answer of the resolver is its own failure: a name that does not exist is not a name
// server that cannot be reached, and neither is a time-out.
TEST_P(NameLookup, EachAnswerIsItsOwnFailure) {
  ScriptedResolver resolver(GetParam().status, GetParam().answers);
  const std::string device = "tcp://printer.shop.lan:9100";
  const JobOutcome outcome = RunJob(TicketTo(device, kSampleDataText), kOptions, resolver);
  EXPECT_EQ(outcome.message, kFailurePrefix + GetParam().expected(device));
  EXPECT_EQ(resolver.lookups, 1);
  EXPECT_LT(outcome.elapsed, kOptions.connectTimeout + 1000ms);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, NameLookup,
    ::testing::Values(
        LookupRow{"NoSuchName", EAI_NONAME, true,
                  [](const std::string& d) { return failures::UnknownHost(d).description(); }},
        LookupRow{"NoAddressForName", EAI_NODATA, true,
                  [](const std::string& d) { return failures::UnknownHost(d).description(); }},
        LookupRow{"NameServerUnreachable", EAI_AGAIN, true,
                  [](const std::string& d) {
                    return failures::NameLookupUnavailable(d).description();
                  }},
        LookupRow{"NameServerFailed", EAI_FAIL, true,
                  [](const std::string& d) {
                    return failures::NameLookupUnavailable(d).description();
                  }},
        LookupRow{"ResolverOutOfMemory", EAI_MEMORY, true,
                  [](const std::string&) { return failures::OutOfMemory().description(); }},
        LookupRow{"NoAnswerWithinTheConnectTimeOut", EAI_NONAME, false,
                  [](const std::string& d) {
                    return failures::ConnectTimedOut(d, kOptions.connectTimeout).description();
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NameLookup, ANameThatResolvesIsPrintedTo) {
  LoopbackPrinter printer;
  ScriptedResolver resolver(0);
  ExpectDelivered(printer, "tcp://printer.shop.lan:" + std::to_string(printer.port()), resolver);
  EXPECT_EQ(resolver.lookups, 1);
}

TEST(NameLookup, TheCancelDescriptorEndsAWaitForTheResolver) {
  ScriptedResolver resolver(EAI_NONAME, /*answers=*/false);
  int cancel[2];
  ASSERT_EQ(::pipe(cancel), 0);
  ChannelOptions options = kOptions;
  options.connectTimeout = 30s;
  options.cancelFd = cancel[0];
  std::thread signaller([&cancel] {
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(::write(cancel[1], "x", 1), 1);
  });
  const JobOutcome outcome =
      RunJob(TicketTo("tcp://printer.shop.lan:9100", kSampleDataText), options, resolver);
  signaller.join();
  ::close(cancel[0]);
  ::close(cancel[1]);
  EXPECT_EQ(outcome.message, kFailurePrefix + failures::Interrupted().description());
  EXPECT_LT(outcome.elapsed, 10s);
}

// Real lookups, run again inside a network namespace of their own (see own_network.h).
TEST(NetworkNamespace, NameLookupsRunWhereOnlyLoopbackExists) {
  if (InOwnNetwork()) GTEST_SKIP() << "already inside";
  std::string skip;
  const auto run = RunInOwnNetwork("OwnNetwork*", skip);
  if (!run) GTEST_SKIP() << skip;
  EXPECT_EQ(run->exitCode, 0) << run->output;
  EXPECT_EQ(run->output.find("[  FAILED  ]"), std::string::npos) << run->output;
  EXPECT_EQ(run->output.find("[  SKIPPED ]"), std::string::npos) << run->output;
  EXPECT_NE(run->output.find("[  PASSED  ] 3 tests."), std::string::npos) << run->output;
}

// Runs only inside the namespace, before anything brings the loopback interface up: in a fresh
// namespace even 127.0.0.1 is unreachable, and the system's reason is given in Portuguese.
TEST(OwnNetworkBeforeLoopback, AnUnreachableNetworkIsSaidInPortuguese) {
  if (!InOwnNetwork()) GTEST_SKIP() << "runs inside NetworkNamespace.*";
  ASSERT_EQ(NetworkInterfaces(), "lo") << "not a namespace with loopback alone";
  const std::string device = "tcp://127.0.0.1:9";
  const JobOutcome outcome = RunJob(TicketTo(device, kSampleDataText), kOptions);
  EXPECT_EQ(outcome.message, std::string(kFailurePrefix) + "Não foi possível abrir \"" + device +
                                 "\" (rede inacessível)");
}

// Runs only inside the namespace: never against the machine's real name server.
class OwnNetwork : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!InOwnNetwork()) GTEST_SKIP() << "runs inside NetworkNamespace.*";
    ASSERT_EQ(NetworkInterfaces(), "lo") << "not a namespace with loopback alone";
    ASSERT_TRUE(BringLoopbackUp());
  }
};

// With no network, the resolver cannot ask any name server (EAI_AGAIN): that is said as such,
// at once, not as an unknown host and not after the connect time-out.
TEST_F(OwnNetwork, AMadeUpNameCannotBeLookedUp) {
  const std::string device = "tcp://qrticket-no-such-printer.invalid:9100";
  const JobOutcome outcome = RunJob(TicketTo(device, kSampleDataText), kOptions);
  EXPECT_EQ(outcome.message,
            kFailurePrefix + failures::NameLookupUnavailable(device).description());
  EXPECT_LT(outcome.elapsed, kOptions.connectTimeout);
}

TEST_F(OwnNetwork, HostNameAndSchemeInCapitals) {
  LoopbackPrinter printer;
  // "localhost" may also resolve to ::1, where nobody listens: that address is refused and the
  // next one is tried.
  ExpectDelivered(printer, "TCP://localhost:" + std::to_string(printer.port()));
}

}  // namespace
}  // namespace qrticket::testing
