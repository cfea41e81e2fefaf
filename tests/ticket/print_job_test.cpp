// The whole ticket job against real files: exact bytes, the failure message, and that the
// next job works after a failure.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "default_ticket.h"
#include "devices/text_encoding.h"
#include "recording_reporter.h"
#include "temp_dir.h"
#include "ticket/publisher.h"
#include "ticket/qr_commands.h"
#include "ticket/ticket_defaults.h"
#include "ticket/ticket_failures.h"
#include "ticket/ticket_job.h"

namespace qrticket {
namespace {

using testing::DefaultTicketTo;
using testing::Hex;
using testing::ReadFileBytes;
using testing::RecordingReporter;
using testing::TempDir;

const Bytes kCompany = "BREVALUNDA - SISTEMAS DE INFORMA\xC7\xC3O LDA";

// Everything after the data line, written out independently of the code under test.
Bytes Footer() {
  const Bytes rule(40, '-');
  Bytes f = rule + "\r\n" + "    DESENVOLVEMOS O SEU SOFTWARE\r\n" + rule + "\r\n";
  f += "Email    : " + Bytes(publisher::kEmail) + " \r\n";
  f += "Telefone : " + Bytes(publisher::kPhone) + " \r\n";
  f += "Internet : " + Bytes(publisher::kWeb) + ":\r\n";
  for (int i = 0; i < 6; ++i) f += "\n\r\n";
  return f;
}

Bytes Ticket(std::string_view headerStart, const Bytes& qrBlock, std::string_view echo,
             const Bytes& data) {
  Bytes t(headerStart);
  t += "\n" + kCompany + "\n\n** Portaria No. 195/2020 **\n** Teste ao QR CODE **\n\r\n";
  t += qrBlock + "\r\n";
  t += echo;
  t += "QR CODE> " + data + "\n\r\n";
  return t + Footer();
}

class PrintJob : public ::testing::Test {
 protected:
  Bytes PrintAndRead(const QrPrintSettings& settings) {
    PrintQrTest(settings, reporter);
    return ReadFileBytes(settings.deviceName);
  }
  TempDir dir;
  RecordingReporter reporter;
};

TEST_F(PrintJob, DefaultTicketByteForByte) {
  const auto settings = DefaultTicketTo(dir.File("ticket.bin"));
  const Bytes expected =
      Ticket("\x1B@", QrCommandsStandard(kSampleDataText, 6, 1, 1),
             "Size : 6 \r\nModel : 1 \r\nErrorLevel : 1 \r\nModo P\xE1gina :No\r\n", kSampleDataText);
  EXPECT_EQ(Hex(PrintAndRead(settings)), Hex(expected));
  EXPECT_TRUE(reporter.messages.empty());
}

struct LayoutRow {
  const char* name;
  bool pageMode, centred, woosim;
  const char* headerStart;
  const char* pageEcho;  // the page-mode echo and, in page mode, ESC S
};
void PrintTo(const LayoutRow& row, std::ostream* os) { *os << row.name; }


class Layout : public PrintJob, public ::testing::WithParamInterface<LayoutRow> {};

TEST_P(Layout, OptionsChangeHeaderEchoAndBlock) {
  const LayoutRow& r = GetParam();
  auto settings = DefaultTicketTo(dir.File("ticket.bin"));
  settings.dataText = "abc";
  settings.pageMode = r.pageMode;
  settings.centred = r.centred;
  settings.woosimDialect = r.woosim;
  const Bytes block = r.woosim ? QrCommandsWoosim("abc", 6, 1, 1) : QrCommandsStandard("abc", 6, 1, 1);
  const Bytes echo = Bytes("Size : 6 \r\nModel : 1 \r\nErrorLevel : 1 \r\n") + r.pageEcho;
  EXPECT_EQ(Hex(PrintAndRead(settings)), Hex(Ticket(r.headerStart, block, echo, "abc")));
}

INSTANTIATE_TEST_SUITE_P(
    Options, Layout,
    ::testing::Values(
        LayoutRow{"plain", false, false, false, "\x1B@", "Modo P\xE1gina :No\r\n"},
        LayoutRow{"centred", false, true, false, "\x1B@\x1B" "a\x01", "Modo P\xE1gina :No\r\n"},
        LayoutRow{"page_mode", true, false, false, "\x1B@\x1B\x0C", "Modo P\xE1gina :Yes\r\n\x1BS\r\n"},
        LayoutRow{"page_mode_centred", true, true, false, "\x1B@\x1B\x0C\x1B" "a\x01",
                  "Modo P\xE1gina :Yes\r\n\x1BS\r\n"},
        LayoutRow{"woosim", false, false, true, "\x1B@", "Modo P\xE1gina :No\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintJob, EchoShowsWhatTheBuilderGot) {
  auto settings = DefaultTicketTo(dir.File("ticket.bin"));
  settings.dataText = "";
  settings.moduleSizeText = "7.5";
  settings.modelIndex = -1;
  settings.errorLevelIndex = -1;
  const Bytes out = PrintAndRead(settings);
  EXPECT_NE(out.find("Size : 8 \r\nModel :-1 \r\nErrorLevel :-1 \r\n"), Bytes::npos) << out;
  EXPECT_NE(out.find(Bytes("\x1D(k\x03\x00\x31P0", 8)), Bytes::npos);  // store with no data
  EXPECT_NE(out.find("QR CODE> \n\r\n"), Bytes::npos);
  EXPECT_EQ(Hex(out.substr(out.size() - 18)), Hex("\n\r\n\n\r\n\n\r\n\n\r\n\n\r\n\n\r\n"));
}

struct BuilderFailureRow {
  const char* name;
  const char* sizeText;
  std::int16_t errorLevel;
  const char* printed;  // what stands where the QR commands would (Windows-1252)
};
void PrintTo(const BuilderFailureRow& row, std::ostream* os) { *os << row.name; }

class BuilderFailure : public PrintJob, public ::testing::WithParamInterface<BuilderFailureRow> {};

// The ticket is printed as usual with the description in place of the block, no message is
// shown, and the caller learns that the ticket carries no symbol.
TEST_P(BuilderFailure, IsPrintedInPlaceOfTheBlockAndToldToTheCaller) {
  auto settings = DefaultTicketTo(dir.File("ticket.bin"));
  settings.moduleSizeText = GetParam().sizeText;
  settings.errorLevelIndex = GetParam().errorLevel;
  const JobResult result = PrintQrTest(settings, reporter);
  const Bytes out = ReadFileBytes(settings.deviceName);
  EXPECT_TRUE(reporter.messages.empty());
  EXPECT_EQ(out.find('\x1D'), Bytes::npos);
  EXPECT_NE(out.find(Bytes("Teste ao QR CODE **\n\r\n") + GetParam().printed + "\r\nSize :"),
            Bytes::npos)
      << out;
  EXPECT_EQ(result.status, JobResult::Status::DeliveredWithoutSymbol);
  ASSERT_TRUE(result.qrBlockFailure.has_value());
  EXPECT_EQ(*Utf8ToCp1252(*result.qrBlockFailure), GetParam().printed);
}

INSTANTIATE_TEST_SUITE_P(
    Builders, BuilderFailure,
    ::testing::Values(
        BuilderFailureRow{"size_256", "256", 1,
                          "Argumento inv\xE1lido: 256 n\xE3o \xE9 um byte (0 a 255)"},
        BuilderFailureRow{"size_minus_one", "-1", 1,
                          "Argumento inv\xE1lido: -1 n\xE3o \xE9 um byte (0 a 255)"},
        BuilderFailureRow{"level_32767", "6", 32767,
                          "Capacidade excedida: a posi\xE7\xE3o do modelo ou do n\xEDvel de "
                          "corre\xE7\xE3o \xE9 demasiado grande"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintJob, ADeliveredTicketSaysSo) {
  const JobResult result = PrintQrTest(DefaultTicketTo(dir.File("ticket.bin")), reporter);
  EXPECT_EQ(result.status, JobResult::Status::Delivered);
  EXPECT_EQ(result.qrBlockFailure, std::nullopt);
  EXPECT_EQ(result.failure, std::nullopt);
}

TEST_F(PrintJob, LargestTextPassesAndOneMoreFailsBeforeOpening) {
  auto settings = DefaultTicketTo(dir.File("largest.bin"));
  settings.dataText = Bytes(32764, 'z');
  EXPECT_NE(PrintAndRead(settings).find(Bytes("\x1D(k\xFF\x7F\x31P0", 8)), Bytes::npos);
  EXPECT_TRUE(reporter.messages.empty());

  settings.deviceName = dir.File("too-long.bin");
  settings.dataText += 'z';
  const JobResult result = PrintQrTest(settings, reporter);
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0], kFailurePrefix + failures::DataTooLong().description());
  EXPECT_EQ(result.status, JobResult::Status::Failed);
  EXPECT_EQ(result.failure, FailureCode::Overflow);
  EXPECT_FALSE(std::filesystem::exists(settings.deviceName));
}

struct SizeFailureRow {
  const char* name;
  const char* sizeText;
};
void PrintTo(const SizeFailureRow& row, std::ostream* os) { *os << row.name; }

class SizeOverflow : public PrintJob, public ::testing::WithParamInterface<SizeFailureRow> {};

// The size is converted before the open: an existing file keeps what it held, a missing one is
// not created. (The network side of this is in the device tests.)
TEST_P(SizeOverflow, FailsBeforeTouchingTheDevice) {
  auto existing = DefaultTicketTo(dir.File("existing.bin"));
  {
    std::FILE* f = std::fopen(existing.deviceName.c_str(), "wb");
    std::fputs("an earlier ticket", f);
    std::fclose(f);
  }
  auto missing = DefaultTicketTo(dir.File("missing.bin"));
  existing.moduleSizeText = missing.moduleSizeText = GetParam().sizeText;

  EXPECT_EQ(PrintQrTest(existing, reporter).failure, FailureCode::Overflow);
  EXPECT_EQ(PrintQrTest(missing, reporter).failure, FailureCode::Overflow);

  EXPECT_EQ(ReadFileBytes(existing.deviceName), "an earlier ticket");
  EXPECT_FALSE(std::filesystem::exists(missing.deviceName));
  ASSERT_EQ(reporter.messages.size(), 2u);
  for (const std::string& message : reporter.messages)
    EXPECT_EQ(message, kFailurePrefix + failures::ModuleSizeOverflow().description());
}

INSTANTIATE_TEST_SUITE_P(Texts, SizeOverflow,
                         ::testing::Values(SizeFailureRow{"forty_thousand", "40000"},
                                           SizeFailureRow{"half_past_the_top", "32767.5"},
                                           SizeFailureRow{"below_the_bottom", "-32769"},
                                           SizeFailureRow{"eleven_digits", "99999999999"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintJob, AnExistingFileIsEmptiedFirst) {
  const std::string path = dir.File("old.bin");
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    const std::string old(200000, 'O');
    std::fwrite(old.data(), 1, old.size(), f);
    std::fclose(f);
  }
  const Bytes out = PrintAndRead(DefaultTicketTo(path));
  EXPECT_EQ(out.substr(0, 2), "\x1B@");
  EXPECT_EQ(out.find("OOOO"), Bytes::npos);
  EXPECT_LT(out.size(), 1000u);
}

struct OpenFailureRow {
  const char* name;
  std::string device;  // relative to the test's folder when it does not start with '/'
  const char* messageStart;
};
void PrintTo(const OpenFailureRow& row, std::ostream* os) { *os << row.name; }


class OpenFailure : public PrintJob, public ::testing::WithParamInterface<OpenFailureRow> {};

// Each failure is shown once, names the device as typed, and the next job still prints.
TEST_P(OpenFailure, IsReportedOnceAndTheNextJobPrints) {
  const OpenFailureRow& r = GetParam();
  const std::string device = r.device.empty() || r.device[0] == '/' ? r.device : dir.File(r.device);
  std::filesystem::create_directory(dir.File("folder"));
  PrintQrTest(DefaultTicketTo(device), reporter);
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0].rfind(std::string("Falha na impressão:") + r.messageStart, 0), 0u)
      << reporter.messages[0];
  if (!device.empty()) {
    EXPECT_NE(reporter.messages[0].find("\"" + device + "\""), std::string::npos);
  }

  const auto good = DefaultTicketTo(dir.File("good.bin"));
  EXPECT_GT(PrintAndRead(good).size(), 300u);
  EXPECT_EQ(reporter.messages.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, OpenFailure,
    ::testing::Values(OpenFailureRow{"empty_name", "", "Nome de dispositivo inválido"},
                      OpenFailureRow{"missing_parent", "no/such/folder/t.bin", "O dispositivo ou ficheiro"},
                      OpenFailureRow{"directory", "folder", "\""},
                      OpenFailureRow{"missing_port", "/dev/qrticket-no-such-port", "O dispositivo ou ficheiro"},
                      OpenFailureRow{"disk_full", "/dev/full", "Disco cheio"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket
