// Running out of memory anywhere in the command is a Portuguese message and an exit code,
// never an abort: every allocation the command makes is made to fail once, in turn. This file
// replaces the global operator new, so it is a test program of its own.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <sstream>

#include "cli_options.h"
#include "devices/device_failures.h"
#include "print_command.h"
#include "run_command.h"
#include "temp_dir.h"

namespace {

std::atomic<long> allocations{0};
std::atomic<long> failAt{-1};  // the allocation to refuse, counted from 0; -1 none

void* Allocate(std::size_t size) {
  if (allocations.fetch_add(1) == failAt.load()) throw std::bad_alloc();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace qrticket::cli {
namespace {

using testing::TempDir;

int PrintMode(const CliOptions& options, std::ostream&, std::ostream& err) {
  return RunPrintTicket(options, err);
}

// One run of the whole command with allocation number `n` refused (-1: none). Returns the exit
// code; the message goes to `err`, whose buffer is made large beforehand.
int RunWithAllocationRefused(long n, const std::vector<std::string>& args, std::string& err) {
  std::ostringstream out;
  std::ostringstream errStream(std::string(4096, ' '));
  errStream.seekp(0);
  allocations = 0;
  failAt = n;
  const int code = RunCommand(args, out, errStream, PrintMode);
  failAt = -1;
  err = errStream.str();
  err.erase(err.find_last_not_of(' ') + 1);
  return code;
}

struct MemoryRow {
  const char* name;
  std::vector<std::string> args;  // "{dir}" stands for a scratch folder
};
void PrintTo(const MemoryRow& row, std::ostream* os) { *os << row.name; }

class OutOfMemory : public ::testing::TestWithParam<MemoryRow> {};

TEST_P(OutOfMemory, EveryAllocationThatFailsGivesAMessageNotAnAbort) {
  TempDir dir;
  { std::FILE* f = std::fopen(dir.File("text.txt").c_str(), "wb"); std::fputs("\xEF\xBB\xBFlinha 1\nlinha 2\n", f); std::fclose(f); }
  std::vector<std::string> args = GetParam().args;
  for (std::string& arg : args)
    if (const auto at = arg.find("{dir}"); at != std::string::npos)
      arg.replace(at, 5, dir.path().string());
  std::string err;
  const int expected = RunWithAllocationRefused(-1, args, err);
  const long total = allocations;
  ASSERT_GT(total, 10);

  const std::string outOfMemory = failures::OutOfMemoryText();
  int reported = 0;
  for (long n = 0; n < total; ++n) {
    const int code = RunWithAllocationRefused(n, args, err);
    // Either the refused allocation did not matter, or the command said so and failed, or
    // (memory refused to the QR builder, which prints its failure in place of the symbol) it
    // printed the ticket without a symbol and said why.
    if (code == expected) continue;
    ASSERT_TRUE(code == kExitPrintFailed || code == kExitPrintedWithoutSymbol)
        << "allocation " << n << ": exit " << code << ", " << err;
    ASSERT_NE(err.find(outOfMemory), std::string::npos) << "allocation " << n << ": " << err;
    ++reported;
  }
  EXPECT_GT(reported, total / 2);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, OutOfMemory,
    ::testing::Values(
        MemoryRow{"TicketFromATextFile",
                  {"--device={dir}/ticket.bin", "--text-file", "{dir}/text.txt", "--model", "2",
                   "--page-mode"}},
        MemoryRow{"Help", {"--help"}},
        MemoryRow{"Version", {"--version"}},
        MemoryRow{"UsageError", {"--device", "x", "--model", "0x10"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::cli
