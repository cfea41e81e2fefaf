// --text-file: the file's text as the window would send it, read within bounds from files,
// FIFOs and endless devices.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <thread>

#include "cli_options.h"
#include "temp_dir.h"
#include "text_file.h"
#include "ticket/ticket_failures.h"
#include "ticket/ticket_job.h"

namespace qrticket::cli {
namespace {

using namespace std::chrono_literals;
using testing::Hex;
using testing::TempDir;

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// The file's bytes and the data text the ticket gets from them (hex, Windows-1252).
struct LineRow {
  const char* name;
  std::string file;
  const char* data;
};
void PrintTo(const LineRow& row, std::ostream* os) { *os << row.name; }

class TextFileLines : public ::testing::TestWithParam<LineRow> {};

// The window sends every line break as CR LF (a lone CR as it is) and has no final line break
// of its own: the same text typed there or saved in a file gives the same symbol.
TEST_P(TextFileLines, BecomeWhatTheWindowSends) {
  TempDir dir;
  const std::string path = dir.File("text.txt");
  WriteFile(path, GetParam().file);
  const auto r = ParseCommandLine({"--device", "x", "--text-file", path});
  ASSERT_TRUE(r.options) << r.err;
  EXPECT_EQ(Hex(r.options->settings.dataText), GetParam().data);
}

INSTANTIATE_TEST_SUITE_P(
    Files, TextFileLines,
    ::testing::Values(
        LineRow{"no_line_break", "abc", "61 62 63"},
        LineRow{"final_lf_dropped", "abc\n", "61 62 63"},
        LineRow{"final_crlf_dropped", "abc\r\n", "61 62 63"},
        LineRow{"only_one_final_break_dropped", "abc\n\n", "61 62 63 0D 0A"},
        LineRow{"only_one_final_crlf_dropped", "abc\r\n\r\n", "61 62 63 0D 0A"},
        LineRow{"inner_lf_becomes_crlf", "a\nb", "61 0D 0A 62"},
        LineRow{"inner_crlf_stays", "a\r\nb", "61 0D 0A 62"},
        LineRow{"mixed_breaks", "a\nb\r\nc\n", "61 0D 0A 62 0D 0A 63"},
        LineRow{"lone_cr_stays", "a\rb", "61 0D 62"},
        LineRow{"final_lone_cr_stays", "a\r", "61 0D"},
        LineRow{"cr_before_the_final_crlf", "a\r\r\n", "61 0D"},
        LineRow{"leading_lf", "\nz", "0D 0A 7A"},
        LineRow{"byte_order_mark_dropped", "\xEF\xBB\xBF" "abc\n", "61 62 63"},
        LineRow{"only_a_byte_order_mark", "\xEF\xBB\xBF", ""},
        LineRow{"inner_byte_order_mark_is_a_character", "a\xEF\xBB\xBF", "61 3F"},
        LineRow{"two_byte_order_marks", "\xEF\xBB\xBF\xEF\xBB\xBF" "a", "3F 61"},
        LineRow{"only_a_line_break", "\n", ""},
        LineRow{"empty_file", "", ""},
        LineRow{"nul_and_portuguese", std::string(" Página\0€\r\n", 14),
                "20 50 E1 67 69 6E 61 00 80"}),
    [](const auto& info) { return std::string(info.param.name); });

// The longest file that can still be printed: 32,764 characters of four UTF-8 bytes each, a
// byte-order mark and a final CR LF.
std::string LargestUsefulFile() {
  std::string file = "\xEF\xBB\xBF";
  for (int i = 0; i < 32764; ++i) file += "\xF0\x9F\x98\x80";
  file += "\r\n";
  return file;
}

TEST(TextFileBounds, TheLargestUsefulFileIsReadWhole) {
  const std::string file = LargestUsefulFile();
  ASSERT_EQ(file.size(), kMaxTextFileBytes);
  TempDir dir;
  WriteFile(dir.File("largest.txt"), file);
  const auto r = ParseCommandLine({"--device", "x", "--text-file", dir.File("largest.txt")});
  ASSERT_TRUE(r.options) << r.err;
  EXPECT_EQ(r.options->settings.dataText, Bytes(32764, '?'));
}

// Past the bound the text cannot be printed: the usual length failure, without reading on.
struct TooLongRow {
  const char* name;
  std::function<std::string(const TempDir&)> make;  // the path to read
};
void PrintTo(const TooLongRow& row, std::ostream* os) { *os << row.name; }

class TextFileTooLong : public ::testing::TestWithParam<TooLongRow> {};

TEST_P(TextFileTooLong, FailsWithTheLengthMessage) {
  TempDir dir;
  const auto r = ParseCommandLine({"--device", "x", "--text-file", GetParam().make(dir)});
  EXPECT_FALSE(r.options);
  EXPECT_EQ(r.exitCode, kExitPrintFailed);
  EXPECT_EQ(r.err, kFailurePrefix + failures::DataTooLong().description() + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Files, TextFileTooLong,
    ::testing::Values(
        TooLongRow{"one_byte_more_than_the_largest",
                   [](const TempDir& dir) {
                     WriteFile(dir.File("t"), LargestUsefulFile() + "x");
                     return dir.File("t");
                   }},
        TooLongRow{"a_sparse_gigabyte",
                   [](const TempDir& dir) {
                     const int fd = ::open(dir.File("t").c_str(), O_WRONLY | O_CREAT, 0600);
                     EXPECT_EQ(::ftruncate(fd, 1L << 30), 0);
                     ::close(fd);
                     return dir.File("t");
                   }},
        TooLongRow{"dev_zero_never_ends", [](const TempDir&) { return std::string("/dev/zero"); }}),
    [](const auto& info) { return std::string(info.param.name); });

// A FIFO with a writer thread that the row drives; joined when the row ends.
struct Fifo {
  TempDir dir;
  std::string path = dir.File("fifo");
  std::thread writer;
  Fifo() { ::mkfifo(path.c_str(), 0600); }
  ~Fifo() {
    if (writer.joinable()) writer.join();
  }
  // Opens the FIFO for writing, blocking until the reader is there.
  int OpenWriter() const { return ::open(path.c_str(), O_WRONLY | O_CLOEXEC); }
};

TEST(TextFileFifo, NobodyWritingIsGivenUpAfterTheStallTimeOut) {
  Fifo fifo;
  const auto start = std::chrono::steady_clock::now();
  const auto r = ParseCommandLine({"--device", "x", "--text-file", fifo.path, "--timeout", "0.3"});
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(r.options);
  EXPECT_EQ(r.exitCode, kExitUsage);
  EXPECT_EQ(r.err, "qrticket: o ficheiro '" + fifo.path +
                       "' não deu dados durante 300 ms (ninguém escreve nele?)\n"
                       "Experimente 'qrticket --help'.\n");
  EXPECT_GE(elapsed, 300ms);
  EXPECT_LT(elapsed, 5s);
}

TEST(TextFileFifo, AWriterThatKeepsWritingIsReadToTheEnd) {
  Fifo fifo;
  // Five pieces 150 ms apart: 750 ms in all, more than twice the stall time-out.
  fifo.writer = std::thread([&fifo] {
    const int fd = fifo.OpenWriter();
    for (const char* piece : {"um\n", "dois\n", "tres\n", "quatro\n", "cinco\n"}) {
      std::this_thread::sleep_for(150ms);
      EXPECT_GT(::write(fd, piece, std::strlen(piece)), 0);
    }
    ::close(fd);
  });
  const auto r = ParseCommandLine({"--device", "x", "--text-file", fifo.path, "--timeout", "0.3"});
  ASSERT_TRUE(r.options) << r.err;
  EXPECT_EQ(r.options->settings.dataText, "um\r\ndois\r\ntres\r\nquatro\r\ncinco");
}

TEST(TextFileFifo, AWriterThatLeavesWithoutWritingGivesAnEmptyText) {
  Fifo fifo;
  fifo.writer = std::thread([&fifo] {
    std::this_thread::sleep_for(100ms);
    ::close(fifo.OpenWriter());
  });
  const auto r = ParseCommandLine({"--device", "x", "--text-file", fifo.path, "--timeout", "5"});
  ASSERT_TRUE(r.options) << r.err;
  EXPECT_EQ(r.options->settings.dataText, "");
}

TEST(TextFileFifo, TheCancelDescriptorEndsTheWait) {
  Fifo fifo;
  int cancel[2];
  ASSERT_EQ(::pipe(cancel), 0);
  std::thread signaller([&cancel] {
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(::write(cancel[1], "x", 1), 1);
  });
  const auto start = std::chrono::steady_clock::now();
  const auto r =
      ParseCommandLine({"--device", "x", "--text-file", fifo.path, "--timeout", "30"}, cancel[0]);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  signaller.join();
  ::close(cancel[0]);
  ::close(cancel[1]);
  EXPECT_FALSE(r.options);
  EXPECT_TRUE(r.interrupted);
  EXPECT_LT(elapsed, 10s);
}

// "-" reads standard input: here a pipe put in its place for the test (each test runs in a
// process of its own), given back afterwards.
class TextFileStandardInput : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::pipe(pipe_), 0);
    saved_ = ::dup(STDIN_FILENO);
    ASSERT_EQ(::dup2(pipe_[0], STDIN_FILENO), STDIN_FILENO);
    ::close(pipe_[0]);
  }
  void TearDown() override {
    if (writer_.joinable()) writer_.join();
    if (pipe_[1] >= 0) ::close(pipe_[1]);
    ::dup2(saved_, STDIN_FILENO);
    ::close(saved_);
  }
  void CloseWriteEnd() {
    ::close(pipe_[1]);
    pipe_[1] = -1;
  }

  int pipe_[2] = {-1, -1};
  int saved_ = -1;
  std::thread writer_;
};

TEST_F(TextFileStandardInput, DashReadsIt) {
  writer_ = std::thread([this] {
    for (const char* piece : {"Olá\n", "€\n"}) {
      std::this_thread::sleep_for(50ms);
      EXPECT_GT(::write(pipe_[1], piece, std::strlen(piece)), 0);
    }
    CloseWriteEnd();
  });
  const auto r = ParseCommandLine({"--device", "x", "--text-file", "-", "--timeout", "5"});
  ASSERT_TRUE(r.options) << r.err;
  EXPECT_EQ(r.options->settings.dataText, "Ol\xE1\r\n\x80");
  // Standard input itself stays open for whoever comes next.
  EXPECT_NE(::fcntl(STDIN_FILENO, F_GETFD), -1);
}

TEST_F(TextFileStandardInput, NothingComingIsGivenUpAfterTheStallTimeOut) {
  const auto start = std::chrono::steady_clock::now();
  const auto r = ParseCommandLine({"--device", "x", "--text-file", "-", "--timeout", "0.3"});
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  EXPECT_EQ(r.exitCode, kExitUsage);
  EXPECT_EQ(r.err, "qrticket: a entrada padrão não deu dados durante 300 ms (ninguém escreve "
                   "nela?)\nExperimente 'qrticket --help'.\n");
}

}  // namespace
}  // namespace qrticket::cli
