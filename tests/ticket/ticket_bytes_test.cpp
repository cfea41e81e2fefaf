// The ticket laid out in memory against the job on a real file: the same bytes, the same end
// and the same message for every outcome, and no device touched.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "default_ticket.h"
#include "recording_reporter.h"
#include "temp_dir.h"
#include "ticket/ticket_job.h"

namespace qrticket {
namespace {

using testing::DefaultTicketTo;
using testing::Hex;
using testing::ReadFileBytes;
using testing::RecordingReporter;
using testing::TempDir;

struct SameAsJobRow {
  const char* name;
  void (*change)(QrPrintSettings&);
  JobResult::Status status;
};
void PrintTo(const SameAsJobRow& row, std::ostream* os) { *os << row.name; }

class SameAsTheJob : public ::testing::TestWithParam<SameAsJobRow> {};

TEST_P(SameAsTheJob, BytesResultAndMessages) {
  TempDir dir;
  QrPrintSettings settings = DefaultTicketTo(dir.File("ticket.bin"));
  GetParam().change(settings);
  RecordingReporter printed, laidOut;
  const JobResult job = PrintQrTest(settings, printed);
  const LaidOutTicket ticket = QrTestBytes(settings, laidOut);

  EXPECT_EQ(ticket.result.status, GetParam().status);
  EXPECT_EQ(ticket.result.status, job.status);
  EXPECT_EQ(ticket.result.qrBlockFailure, job.qrBlockFailure);
  EXPECT_EQ(ticket.result.failure, job.failure);
  EXPECT_EQ(laidOut.messages, printed.messages);
  if (job.status == JobResult::Status::Failed) {
    EXPECT_EQ(laidOut.messages.size(), 1u);
    EXPECT_EQ(ticket.bytes, "");
  } else {
    EXPECT_TRUE(laidOut.messages.empty());
    EXPECT_EQ(Hex(ticket.bytes), Hex(ReadFileBytes(settings.deviceName)));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, SameAsTheJob,
    ::testing::Values(
        SameAsJobRow{"sample", [](QrPrintSettings&) {}, JobResult::Status::Delivered},
        SameAsJobRow{"page_mode_centred",
                     [](QrPrintSettings& s) { s.pageMode = s.centred = true; },
                     JobResult::Status::Delivered},
        SameAsJobRow{"woosim_model_2_level_h",
                     [](QrPrintSettings& s) {
                       s.woosimDialect = true;
                       s.modelIndex = 1;
                       s.errorLevelIndex = 3;
                     },
                     JobResult::Status::Delivered},
        SameAsJobRow{"largest_text", [](QrPrintSettings& s) { s.dataText = Bytes(32764, 'z'); },
                     JobResult::Status::Delivered},
        SameAsJobRow{"empty_text_and_half_size",
                     [](QrPrintSettings& s) {
                       s.dataText = "";
                       s.moduleSizeText = "7.5";
                     },
                     JobResult::Status::Delivered},
        SameAsJobRow{"size_not_a_byte", [](QrPrintSettings& s) { s.moduleSizeText = "256"; },
                     JobResult::Status::DeliveredWithoutSymbol},
        SameAsJobRow{"text_one_too_long", [](QrPrintSettings& s) { s.dataText = Bytes(32765, 'z'); },
                     JobResult::Status::Failed},
        SameAsJobRow{"size_overflow", [](QrPrintSettings& s) { s.moduleSizeText = "40000"; },
                     JobResult::Status::Failed}),
    [](const auto& info) { return std::string(info.param.name); });

// The device name plays no part: an existing file keeps what it held, a missing one is not
// made, and a name that no device answers to fails nothing.
TEST(QrTestBytes, LeavesTheDeviceAlone) {
  TempDir dir;
  const std::string existing = dir.File("existing.bin");
  {
    std::FILE* f = std::fopen(existing.c_str(), "wb");
    std::fputs("an earlier ticket", f);
    std::fclose(f);
  }
  for (const std::string& device :
       {existing, dir.File("missing.bin"), dir.File("no/such/folder/t.bin"), std::string()}) {
    RecordingReporter reporter;
    const LaidOutTicket ticket = QrTestBytes(DefaultTicketTo(device), reporter);
    EXPECT_EQ(ticket.result.status, JobResult::Status::Delivered) << device;
    EXPECT_TRUE(reporter.messages.empty()) << device;
    EXPECT_EQ(ticket.bytes.substr(0, 2), "\x1B@") << device;
  }
  EXPECT_EQ(ReadFileBytes(existing), "an earlier ticket");
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing.bin")));
}

}  // namespace
}  // namespace qrticket
