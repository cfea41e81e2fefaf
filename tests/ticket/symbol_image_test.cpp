// The ticket with an image of the symbol in place of the QR commands: the image stands where
// the commands stood and every other byte stays as it was; a drawer that refuses fails the job
// before the device is touched.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "default_ticket.h"
#include "recording_reporter.h"
#include "temp_dir.h"
#include "ticket/qr_commands.h"
#include "ticket/ticket_job.h"

namespace qrticket {
namespace {

using testing::DefaultTicketTo;
using testing::Hex;
using testing::ReadFileBytes;
using testing::RecordingReporter;
using testing::TempDir;

// A GS v 0 command with bytes above 0x7F, which a code table must not re-encode.
const Bytes kImage("\x1D\x76\x30\x00\x01\x00\x02\x00\xAA\x55", 10);

std::vector<std::int16_t>& SizesDrawn() {
  static std::vector<std::int16_t> sizes;
  return sizes;
}

Bytes FakeImage(const QrPrintSettings&, std::int16_t moduleSize) {
  SizesDrawn().push_back(moduleSize);
  return kImage;
}

Bytes RefusedImage(const QrPrintSettings&, std::int16_t) {
  throw PrintFailure(FailureCode::InvalidArgument, "sem imagem");
}

struct ImageRow {
  const char* name;
  void (*change)(QrPrintSettings&);
  std::int16_t moduleSize;  // what the job converts the size text to
};
void PrintTo(const ImageRow& row, std::ostream* os) { *os << row.name; }

class SymbolImage : public ::testing::TestWithParam<ImageRow> {};

TEST_P(SymbolImage, StandsWhereTheQrCommandsStood) {
  QrPrintSettings settings = DefaultTicketTo("");
  GetParam().change(settings);
  RecordingReporter reporter;
  const LaidOutTicket commands = QrTestBytes(settings, reporter);
  const auto build = settings.woosimDialect ? QrCommandsWoosim : QrCommandsStandard;
  const Bytes block = build(settings.dataText, GetParam().moduleSize, settings.errorLevelIndex,
                            settings.modelIndex);
  const std::size_t at = commands.bytes.find(block);
  ASSERT_NE(at, Bytes::npos);

  SizesDrawn().clear();
  settings.symbolImage = &FakeImage;
  const LaidOutTicket image = QrTestBytes(settings, reporter);
  EXPECT_EQ(image.result.status, JobResult::Status::Delivered);
  EXPECT_EQ(Hex(image.bytes),
            Hex(commands.bytes.substr(0, at) + kImage + commands.bytes.substr(at + block.size())));
  EXPECT_EQ(SizesDrawn(), std::vector<std::int16_t>{GetParam().moduleSize});
  EXPECT_TRUE(reporter.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Tickets, SymbolImage,
    ::testing::Values(
        ImageRow{"sample", [](QrPrintSettings&) {}, 6},
        ImageRow{"page_mode_centred", [](QrPrintSettings& s) { s.pageMode = s.centred = true; },
                 6},
        ImageRow{"woosim", [](QrPrintSettings& s) { s.woosimDialect = true; }, 6},
        ImageRow{"code_table_860", [](QrPrintSettings& s) { s.codeTable = 3; }, 6},
        ImageRow{"half_size_rounds_to_even", [](QrPrintSettings& s) { s.moduleSizeText = "7.5"; },
                 8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SymbolImage, ARefusalFailsTheJobBeforeTheDeviceIsOpened) {
  TempDir dir;
  const std::string existing = dir.File("existing.bin");
  {
    std::FILE* f = std::fopen(existing.c_str(), "wb");
    std::fputs("an earlier ticket", f);
    std::fclose(f);
  }
  for (const std::string& device : {existing, dir.File("missing.bin")}) {
    QrPrintSettings settings = DefaultTicketTo(device);
    settings.symbolImage = &RefusedImage;
    RecordingReporter printed, laidOut;
    const JobResult job = PrintQrTest(settings, printed);
    EXPECT_EQ(job.status, JobResult::Status::Failed) << device;
    EXPECT_EQ(job.failure, FailureCode::InvalidArgument) << device;
    EXPECT_EQ(printed.messages, std::vector<std::string>{"Falha na impressão:sem imagem"});
    const LaidOutTicket ticket = QrTestBytes(settings, laidOut);
    EXPECT_EQ(ticket.result.status, JobResult::Status::Failed);
    EXPECT_EQ(ticket.bytes, "");
    EXPECT_EQ(laidOut.messages, printed.messages);
  }
  EXPECT_EQ(ReadFileBytes(existing), "an earlier ticket");
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing.bin")));
}

}  // namespace
}  // namespace qrticket
