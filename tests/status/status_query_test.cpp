// Asking fake printers on loopback sockets and pseudo-terminals: every status pattern, late
// answers, answers in pieces, unasked automatic status, silence, and the outputs that have no
// way back. Time bounds are loose; the exact speed belongs in a benchmark.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>
#include <string>
#include <vector>

#include "fake_printer.h"
#include "fake_printer_answers.h"
#include "status/status_query.h"
#include "status/status_texts.h"
#include "temp_dir.h"

namespace qrticket {
namespace {

using namespace std::chrono_literals;
using testing::FakeAnswers;
using testing::FakePtyPrinter;
using testing::FakeTcpPrinter;
using testing::IdentityThen;
using testing::kReadyLines;
using testing::PrinterReporting;
using testing::ReadyPrinter;
using Clock = std::chrono::steady_clock;

enum class Link { Tcp, Pty };

struct QueryCase {
  const char* name;
  FakeAnswers answers;
  std::vector<std::string> lines;
  bool ready;
  bool identity = true;  // ask GS I too
};

FakeAnswers Late(FakeAnswers a, std::chrono::milliseconds delay) {
  a.delay = delay;
  return a;
}
FakeAnswers InPieces(FakeAnswers a) {
  a.inPieces = true;
  return a;
}
FakeAnswers WithAutomaticStatus(FakeAnswers a) {
  a.unaskedFirst = std::string("\x14\x00\x00\x0F", 4);
  a.beforeEachAnswer = std::string("\x10\x00\x00\x00", 4);
  return a;
}
FakeAnswers Without(FakeAnswers a, bool dleEot, int n) {
  (dleEot ? a.dleEot : a.gsI).erase(n);
  return a;
}
FakeAnswers Answering(FakeAnswers a, bool dleEot, int n, std::string bytes) {
  (dleEot ? a.dleEot : a.gsI)[n] = std::move(bytes);
  return a;
}
FakeAnswers HangingUpAt(FakeAnswers a, int dleEot) {
  a.hangUpAtDleEot = dleEot;
  return a;
}
std::vector<std::string> WithLine(std::vector<std::string> lines, std::size_t at,
                                  std::string line) {
  lines.at(at) = std::move(line);
  return lines;
}
FakeAnswers WithoutExtendedIdentity(FakeAnswers a) {
  for (int n : {65, 66, 67, 68}) a.gsI.erase(n);
  return a;
}

std::vector<QueryCase> Cases() {
  std::vector<std::string> withoutNames(kReadyLines.begin() + 4, kReadyLines.end());
  withoutNames.insert(withoutNames.end() - 1, "sem resposta a: GS I 66");
  std::vector<std::string> withoutSerial = kReadyLines;
  withoutSerial.erase(withoutSerial.begin() + 2);
  withoutSerial.insert(withoutSerial.end() - 1, "sem resposta a: GS I 68");
  std::vector<std::string> withAutomatic = kReadyLines;
  const std::string automaticLine = "estado automático (GS a) recebido sem ser pedido: ";
  return {
      {"Ready", ReadyPrinter(), kReadyLines, true},
      {"CoverOpen", PrinterReporting(0x1A, 0x16, 0x12, 0x12),
       {"identificação não pedida: a impressora só a envia quando está em linha",
        "fora de linha", "tampa aberta", "papel presente",
        "não está pronta: fora de linha, tampa aberta"},
       false},
      {"PaperOut", PrinterReporting(0x1A, 0x32, 0x12, 0x72),
       {"identificação não pedida: a impressora só a envia quando está em linha",
        "fora de linha", "tampa fechada", "sem papel",
        "não está pronta: fora de linha, sem papel"},
       false},
      {"CutterError", PrinterReporting(0x1A, 0x52, 0x1A, 0x12),
       {"identificação não pedida: a impressora só a envia quando está em linha",
        "fora de linha", "tampa fechada", "papel presente", "erro do cortador",
        "não está pronta: fora de linha, erro do cortador"},
       false},
      {"PaperNearEnd", PrinterReporting(0x12, 0x12, 0x12, 0x1E),
       IdentityThen({"em linha", "tampa fechada", "papel a acabar", "pronta a imprimir"}),
       true},
      {"LateAnswers", Late(ReadyPrinter(), 150ms), kReadyLines, true},
      {"AnswersInPieces", InPieces(ReadyPrinter()), kReadyLines, true},
      {"NoExtendedIdentity", WithoutExtendedIdentity(ReadyPrinter()), withoutNames, true},
      {"NoSerialNumber", Without(ReadyPrinter(), false, 68), withoutSerial, true},
      // Ready only when every state that decides it was read.
      {"NoPaperSensorAnswer", Without(ReadyPrinter(), true, 4),
       IdentityThen({"em linha", "tampa fechada", "sem resposta a: DLE EOT 4",
                     "não se sabe se está pronta: sem resposta sobre sensor do papel (DLE EOT 4)"}),
       false},
      {"NoOfflineCauseAnswer", Without(ReadyPrinter(), true, 2),
       IdentityThen({"em linha", "sem resposta a: DLE EOT 2",
                     "não se sabe se está pronta: sem resposta sobre tampa, fim do papel e erro "
                     "(DLE EOT 2), tipo de erro (DLE EOT 3), sensor do papel (DLE EOT 4)"}),
       false},
      {"HangsUpAtOfflineCause", HangingUpAt(ReadyPrinter(), 2),
       {"em linha", "sem resposta a: DLE EOT 2", "a impressora desligou-se a meio do pedido",
        "não se sabe se está pronta: sem resposta sobre tampa, fim do papel e erro (DLE EOT 2), "
        "tipo de erro (DLE EOT 3), sensor do papel (DLE EOT 4)"},
       false},
      // A text without its NUL ends with its request; its letters are no one-byte IDs.
      {"TextWithoutItsNul", Answering(ReadyPrinter(), false, 66, "\x5F" "ACME"), withoutNames,
       true},
      // A printer's text cannot drive the terminal: controls are shown as bytes.
      {"ControlCharactersInAText",
       Answering(ReadyPrinter(), false, 67, std::string("\x5F" "TM\x1B[2J\x9B" "31m\x07\0", 13)),
       WithLine(kReadyLines, 1, "modelo: TM[0x1B][2J[0x9B]31m[0x07]"), true},
  };
}

class QueryFakePrinter
    : public ::testing::TestWithParam<std::tuple<Link, QueryCase>> {};

TEST_P(QueryFakePrinter, DecodesWhatItSays) {
  const auto& [link, c] = GetParam();
  StatusReport report;
  StatusOptions options;
  options.identity = c.identity;
  const auto start = Clock::now();
  if (link == Link::Tcp) {
    FakeTcpPrinter printer(c.answers);
    report = QueryPrinterStatus(printer.DeviceName(), options);
  } else {
    FakePtyPrinter printer(c.answers);
    report = QueryPrinterStatus(printer.path(), options);
  }
  const auto elapsed = Clock::now() - start;
  EXPECT_EQ(StatusLines(report), c.lines);
  EXPECT_EQ(report.ready(), c.ready);
  EXPECT_LT(elapsed, 5s) << "the whole check stays within a few seconds";
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, QueryFakePrinter,
    ::testing::Combine(::testing::Values(Link::Tcp, Link::Pty), ::testing::ValuesIn(Cases())),
    [](const auto& info) {
      return std::string(std::get<0>(info.param) == Link::Tcp ? "Tcp" : "Pty") +
             std::get<1>(info.param).name;
    });

// Bytes that answer nothing, between or before the answers: the state is unreadable, never a
// state made of them.
struct UnaskedCase {
  const char* name;
  FakeAnswers answers;
};

// Line noise: the same few hundred bytes over and over.
std::string Noise() {
  std::mt19937 random(27);
  std::string bytes(300, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}
FakeAnswers Flooded(FakeAnswers a, std::string endless, bool fromStart, unsigned perSecond = 0) {
  a.endless = std::move(endless);
  a.endlessFromStart = fromStart;
  a.endlessPerSecond = perSecond;
  return a;
}
FakeAnswers OnlyFirstAnswered() {
  FakeAnswers a;
  a.dleEot = {{1, "\x12"}};
  return a;
}

class UnaskedBytes : public ::testing::TestWithParam<std::tuple<Link, UnaskedCase>> {};

TEST_P(UnaskedBytes, MakeTheStateUnreadable) {
  const auto& [link, c] = GetParam();
  std::optional<PrintFailure> failure;
  std::vector<std::string> lines;
  const auto ask = [&](const std::string& device) {
    try {
      lines = StatusLines(QueryPrinterStatus(device));
    } catch (const PrintFailure& f) {
      failure = f;
    }
  };
  const auto start = Clock::now();
  if (link == Link::Tcp) {
    FakeTcpPrinter printer(c.answers);
    ask(printer.DeviceName());
  } else {
    FakePtyPrinter printer(c.answers);
    ask(printer.path());
  }
  EXPECT_LT(Clock::now() - start, 5s);
  ASSERT_TRUE(failure.has_value()) << "read as: " << (lines.empty() ? "" : lines.back());
  EXPECT_EQ(failure->code(), FailureCode::UnaskedData);
  EXPECT_NE(failure->description().find("ilegível"), std::string::npos)
      << failure->description();
}

INSTANTIATE_TEST_SUITE_P(
    Streams, UnaskedBytes,
    ::testing::Combine(
        ::testing::Values(Link::Tcp, Link::Pty),
        ::testing::Values(
            // One answer sent twice: the second came unasked.
            UnaskedCase{"AnswerSentTwice",
                        Answering(PrinterReporting(0x12, 0x32, 0x12, 0x72), true, 2, "\x32\x32")},
            UnaskedCase{"NulTooManyAfterAText",
                        Answering(ReadyPrinter(), false, 68,
                                  std::string("\x5F" "X123456\0\0", 10))},
            // A peer that streams what looks like "ready" and answers nothing.
            UnaskedCase{"StatusBytesWithoutEnd", Flooded({}, "\x12", true)},
            UnaskedCase{"StatusBytesAt100PerSecond", Flooded({}, "\x12", true, 100)},
            UnaskedCase{"NoiseAt1000PerSecond", Flooded({}, Noise(), true, 1000)},
            UnaskedCase{"NoiseAt100PerSecond", Flooded({}, Noise(), true, 100)},
            UnaskedCase{"ReadyPrinterInNoise", Flooded(ReadyPrinter(), Noise(), true, 1000)},
            UnaskedCase{"ReadyPrinterInAFloodOfNoise", Flooded(ReadyPrinter(), Noise(), true)},
            UnaskedCase{"TextHeadersAfterTheFirstAnswer",
                        Flooded(OnlyFirstAnswered(), "\x5F", false)},
            UnaskedCase{"TextHeadersBetweenAnswers", Flooded(ReadyPrinter(), "\x5F", false)})),
    [](const auto& info) {
      return std::string(std::get<0>(info.param) == Link::Tcp ? "Tcp" : "Pty") +
             std::get<1>(info.param).name;
    });

// Every byte of every answer 300 ms apart: a text that outlasts its request's wait is read to
// its NUL, and its end is not taken for the next request's answer.
TEST(QueryFakePrinter, ASlowTextShiftsNoOtherAnswer) {
  FakeAnswers answers = ReadyPrinter();
  answers.gsI = {{66, std::string("\x5F" "ACME\0", 6)}, {1, "\x20"}};
  answers.inPieces = true;
  answers.pieceGap = 300ms;
  StatusOptions options;
  options.whole = 15s;
  for (const Link link : {Link::Tcp, Link::Pty}) {
    StatusReport report;
    if (link == Link::Tcp) {
      FakeTcpPrinter printer(answers);
      report = QueryPrinterStatus(printer.DeviceName(), options);
    } else {
      FakePtyPrinter printer(answers);
      report = QueryPrinterStatus(printer.path(), options);
    }
    EXPECT_EQ(report.identity.maker, "ACME");
    EXPECT_EQ(report.identity.modelId, 0x20);
    EXPECT_FALSE(report.identity.typeId.has_value());
    EXPECT_EQ(report.unanswered, (std::vector<std::string>{"GS I 67", "GS I 2"}));
  }
}

TEST(QueryFakePrinter, UnaskedAutomaticStatusIsCountedNotTakenForAnswers) {
  FakeTcpPrinter printer(WithAutomaticStatus(ReadyPrinter()));
  const StatusReport report = QueryPrinterStatus(printer.DeviceName());
  EXPECT_TRUE(report.ready());
  EXPECT_EQ(report.identity.modelName, "TM-FAKE80");
  EXPECT_EQ(report.identity.modelId, 0x20);
  EXPECT_EQ(report.unaskedCount, 12u) << "one on connecting, one before each of 11 answers";
  EXPECT_EQ(report.unasked.size(), 4u) << "the last few are kept";
}

// A byte nobody asked for, sent as the connection opens, is no answer to DLE EOT 1: every
// later answer would be taken for the request before it (paper out read as present).
TEST(QueryFakePrinter, AStrayByteOnConnectingShiftsNoAnswer) {
  FakeAnswers answers = PrinterReporting(0x12, 0x12, 0x12, 0x72);
  answers.unaskedFirst = "\x12";
  FakeTcpPrinter printer(answers);
  const StatusReport report = QueryPrinterStatus(printer.DeviceName());
  EXPECT_FALSE(report.ready());
  EXPECT_EQ(StatusLines(report).back(), "não está pronta: sem papel");
}

// XON and XOFF are flow control on a serial line only: over the network they are data (and
// shown as such); on a pseudo-terminal the line takes them out of the text.
TEST(QueryFakePrinter, XonXoffInsideATextAreDataOverTheNetwork) {
  const FakeAnswers answers =
      Answering(ReadyPrinter(), false, 66, std::string("\x5F" "AC\x11ME\x13\0", 8));
  {
    FakeTcpPrinter printer(answers);
    EXPECT_EQ(StatusLines(QueryPrinterStatus(printer.DeviceName())).front(),
              "fabricante: AC[0x11]ME[0x13]");
  }
  FakePtyPrinter printer(answers);
  EXPECT_EQ(StatusLines(QueryPrinterStatus(printer.path())).front(), "fabricante: ACME");
}

// Printers that never stop sending: every wait still ends at its bound, and only a few of the
// unasked blocks are kept.
struct FloodCase {
  const char* name;
  Link link;
  std::string endless;
  bool fromStart;
  bool onlyFirst;  // answers DLE EOT 1 and nothing else
  bool ready;
};

class FloodingPrinter : public ::testing::TestWithParam<FloodCase> {};

TEST_P(FloodingPrinter, EndsInTimeWithBoundedMemory) {
  const FloodCase& c = GetParam();
  FakeAnswers answers = ReadyPrinter();
  if (c.onlyFirst) {
    answers.dleEot = {{1, "\x12"}};
    answers.gsI.clear();
  }
  answers.endless = c.endless;
  answers.endlessFromStart = c.fromStart;
  StatusReport report;
  const auto start = Clock::now();
  if (c.link == Link::Tcp) {
    FakeTcpPrinter printer(answers);
    report = QueryPrinterStatus(printer.DeviceName());
  } else {
    FakePtyPrinter printer(answers);
    report = QueryPrinterStatus(printer.path());
  }
  const auto elapsed = Clock::now() - start;
  EXPECT_LT(elapsed, 5s) << "the exchange is bounded at 4 s";
  EXPECT_LE(report.unasked.size(), 4u);
  EXPECT_EQ(report.ready(), c.ready) << StatusLines(report).back();
  if (c.endless.size() == 4) {
    EXPECT_GT(report.unaskedCount, 100u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, FloodingPrinter,
    ::testing::Values(
        FloodCase{"TcpAutomaticStatusWithoutEnd", Link::Tcp, std::string("\x10\0\0\0", 4), true,
                  false, true},
        FloodCase{"PtyAutomaticStatusWithoutEnd", Link::Pty, std::string("\x10\0\0\0", 4), true,
                  false, true}),
    [](const auto& info) { return std::string(info.param.name); });

// A device that gives bytes without end and never an answer (/dev/zero): unreadable at once.
TEST(FloodingPrinter, ADeviceOfEndlessZerosIsUnreadable) {
  testing::TempDir dir;
  const std::string zeros = testing::PrivateZeroDevice(dir);
  const auto start = Clock::now();
  try {
    QueryPrinterStatus(zeros);
    FAIL() << "no failure";
  } catch (const PrintFailure& failure) {
    EXPECT_EQ(failure.code(), FailureCode::UnaskedData) << failure.description();
  }
  EXPECT_LT(Clock::now() - start, 3s);
}

TEST(QueryFakePrinter, StaleInputOnAPortIsDropped) {
  FakeAnswers answers = ReadyPrinter();
  answers.unaskedFirst = "\x16\x16\x16";  // answers to someone else's questions, queued earlier
  FakePtyPrinter printer(answers);
  std::this_thread::sleep_for(100ms);
  const StatusReport report = QueryPrinterStatus(printer.path());
  EXPECT_TRUE(report.ready()) << StatusLines(report).back();
}

TEST(QueryFakePrinter, RequestsAreExactlyDleEotThenGsI) {
  FakePtyPrinter printer(ReadyPrinter());
  QueryPrinterStatus(printer.path());
  const std::string expected =
      "\x10\x04\x01\x10\x04\x02\x10\x04\x03\x10\x04\x04"
      "\x1D\x49\x42\x1D\x49\x43\x1D\x49\x41\x1D\x49\x44\x1D\x49\x01\x1D\x49\x02\x1D\x49\x03";
  EXPECT_EQ(testing::Hex(printer.Received()), testing::Hex(expected));
}

struct SilentCase {
  const char* name;
  Link link;
  FakeAnswers answers;
  std::chrono::milliseconds atLeast, atMost;
};

class SilentPrinter : public ::testing::TestWithParam<SilentCase> {};

TEST_P(SilentPrinter, NoAnswerWithinBounds) {
  const SilentCase& c = GetParam();
  const auto start = Clock::now();
  std::optional<PrintFailure> failure;
  auto ask = [&](const std::string& device) {
    try {
      QueryPrinterStatus(device);
    } catch (const PrintFailure& f) {
      failure = f;
    }
  };
  if (c.link == Link::Tcp) {
    FakeTcpPrinter printer(c.answers);
    ask(printer.DeviceName());
  } else {
    FakePtyPrinter printer(c.answers);
    ask(printer.path());
  }
  const auto elapsed = Clock::now() - start;
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->code(), FailureCode::NoAnswer);
  EXPECT_EQ(failure->description().rfind("a impressora não respondeu", 0), 0u)
      << failure->description();
  EXPECT_GE(elapsed, c.atLeast);
  EXPECT_LT(elapsed, c.atMost);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, SilentPrinter,
    ::testing::Values(SilentCase{"TcpNeverAnswers", Link::Tcp, FakeAnswers{}, 900ms, 3s},
                      SilentCase{"PtyNeverAnswers", Link::Pty, FakeAnswers{}, 900ms, 3s},
                      SilentCase{"TcpTooLate", Link::Tcp, Late(ReadyPrinter(), 1500ms), 900ms,
                                 3s}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SilentPrinter, ExtendedIdentityUnansweredCostsOneWaitNotFour) {
  FakeAnswers answers = WithoutExtendedIdentity(ReadyPrinter());
  answers.gsI.clear();
  FakeTcpPrinter printer(answers);
  const auto start = Clock::now();
  const StatusReport report = QueryPrinterStatus(printer.DeviceName());
  const auto elapsed = Clock::now() - start;
  EXPECT_TRUE(report.ready());
  EXPECT_EQ(report.unanswered, (std::vector<std::string>{"GS I 66", "GS I 1"}));
  EXPECT_LT(elapsed, 3500ms) << "one wait per kind of GS I answer";
}

TEST(SilentPrinter, WholeExchangeIsBounded) {
  FakeAnswers answers = Late(ReadyPrinter(), 600ms);
  FakeTcpPrinter printer(answers);
  StatusOptions options;
  options.whole = 2000ms;
  const auto start = Clock::now();
  const StatusReport report = QueryPrinterStatus(printer.DeviceName(), options);
  EXPECT_LT(Clock::now() - start, 3500ms);
  EXPECT_TRUE(report.status.printer.has_value());
  EXPECT_FALSE(report.identity.serialNumber.has_value()) << "asked only while time was left";
}

struct NoWayBackCase {
  const char* name;
  std::string device;  // "{dir}" is replaced by a temporary folder, "{null}" by a null device
  FailureCode code;
  const char* says;
};

class NoWayBack : public ::testing::TestWithParam<NoWayBackCase> {};

TEST_P(NoWayBack, SaysSoAndLeavesFilesAlone) {
  const NoWayBackCase& c = GetParam();
  testing::TempDir dir;
  const std::string file = dir.File("ticket.bin");
  { std::ofstream(file) << "kept"; }
  ::mkfifo(dir.File("fifo").c_str(), 0600);
  std::string device = c.device == "{null}" ? testing::PrivateNullDevice(dir) : c.device;
  if (const auto at = device.find("{dir}"); at != std::string::npos)
    device.replace(at, 5, dir.path().string());
  try {
    QueryPrinterStatus(device);
    FAIL() << "no failure";
  } catch (const PrintFailure& failure) {
    EXPECT_EQ(failure.code(), c.code);
    EXPECT_NE(failure.description().find(c.says), std::string::npos) << failure.description();
  }
  EXPECT_EQ(testing::ReadFileBytes(file), "kept");
  EXPECT_FALSE(std::filesystem::exists(dir.File("new.bin"))) << "nothing is created";
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, NoWayBack,
    ::testing::Values(
        NoWayBackCase{"File", "{dir}/ticket.bin", FailureCode::NoReturnChannel,
                      "sem canal de retorno"},
        NoWayBackCase{"MissingFile", "{dir}/new.bin", FailureCode::NoReturnChannel,
                      "é um ficheiro"},
        NoWayBackCase{"Fifo", "{dir}/fifo", FailureCode::NoReturnChannel, "é um FIFO"},
        NoWayBackCase{"StandardOutput", "-", FailureCode::NoReturnChannel, "é a saída padrão"},
        NoWayBackCase{"PrintQueue", "cups:Recibos", FailureCode::NoReturnChannel,
                      "é uma fila de impressão"},
        NoWayBackCase{"PrintQueueWithSpacesAround", " CUPS:Recibos ",
                      FailureCode::NoReturnChannel, "é uma fila de impressão"},
        NoWayBackCase{"PortOutOfRange", "COM257:", FailureCode::BadFileName, "não é uma porta"},
        NoWayBackCase{"DeviceThatReadsNothing", "{null}", FailureCode::NoReturnChannel,
                      "não devolve dados"},
        NoWayBackCase{"MissingDevice", "/dev/usb/lp97", FailureCode::NotFound, "não existe"},
        NoWayBackCase{"Folder", "{dir}", FailureCode::IsDirectory, "é uma pasta"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket
