// Reaching network printers: names, IPv6, unknown hosts, names that cannot be read.
#include <netdb.h>

#include <gtest/gtest.h>

#include "failure_messages.h"
#include "job_runner.h"
#include "loopback_printer.h"
#include "ticket_job.h"
#include "ticket_defaults.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;

const ChannelOptions kOptions{.stallTimeout = 2000ms, .connectTimeout = 2000ms};

// A job to `printer` under the name `device`; the printer gets the whole ticket.
void ExpectDelivered(LoopbackPrinter& printer, const std::string& device) {
  const auto settings = TicketTo(device, kSampleDataText);
  EXPECT_EQ(RunJob(settings, kOptions).message, std::nullopt);
  ASSERT_TRUE(printer.WaitFinished(3000ms));
  EXPECT_EQ(printer.received(), TicketBytes(settings));
  EXPECT_TRUE(printer.sawEndOfStream()) << "the job reset the connection instead of closing it";
}

TEST(TcpConnect, Ipv6Loopback) {
  LoopbackPrinter printer(PrinterBehaviour{.ipv6 = true});
  if (!printer.ok()) GTEST_SKIP() << "no IPv6 loopback here";
  ExpectDelivered(printer, printer.DeviceName());
}

TEST(TcpConnect, HostNameAndSchemeInCapitals) {
  // A bare chroot may have no /etc/hosts; then there is no name to test with.
  addrinfo* found = nullptr;
  if (::getaddrinfo("localhost", nullptr, nullptr, &found) != 0)
    GTEST_SKIP() << "\"localhost\" does not resolve on this machine";
  ::freeaddrinfo(found);
  LoopbackPrinter printer;
  // "localhost" may also resolve to ::1, where nobody listens: that address is refused and the
  // next one is tried.
  ExpectDelivered(printer, "TCP://localhost:" + std::to_string(printer.port()));
}

TEST(TcpConnect, UnknownHostIsNotATimeOutNorARefusal) {
  const std::string device = "tcp://qrticket-no-such-printer.invalid:9100";
  const JobOutcome outcome = RunJob(TicketTo(device, kSampleDataText), kOptions);
  ASSERT_TRUE(outcome.message);
  if (*outcome.message ==
      kFailurePrefix + failures::ConnectTimedOut(device, kOptions.connectTimeout).description())
    GTEST_SKIP() << "the resolver here does not answer within the time-out";
  EXPECT_EQ(*outcome.message, kFailurePrefix + failures::UnknownHost(device).description());
  EXPECT_LT(outcome.elapsed, kOptions.connectTimeout + 1000ms);
}

TEST(TcpConnect, UnreadableNamesFailBeforeAnyConnection) {
  for (const std::string device : {"tcp://", "tcp://printer:0", "tcp://[::1", "tcp://[nonsense]:9100",
                                   "tcp://[127.0.0.1]:9100"}) {
    const JobOutcome outcome = RunJob(TicketTo(device, kSampleDataText), kOptions);
    EXPECT_EQ(outcome.message, kFailurePrefix + failures::BadFileName(device).description())
        << device;
  }
}

}  // namespace
}  // namespace qrticket::testing
