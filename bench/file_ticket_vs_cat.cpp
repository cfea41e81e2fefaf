// A default ticket to a file, as a whole process, beside `cat` writing the same bytes to the
// same file: the cost of the tool's start-up and job over the least a program can do.
//   bench/file_ticket_vs_cat [RUNS]      (built as build-test/bench/file_ticket_vs_cat)
// Prints the median wall time of each and their ratio. Runs alternate, so a busy moment of the
// machine falls on both.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Runs `argv` with its standard output to `out` (when given) and returns its wall time in µs.
double Run(const std::vector<std::string>& argv, const std::string& out) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!out.empty())
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const auto start = Clock::now();
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
    std::fprintf(stderr, "cannot start %s\n", args[0]);
    std::exit(1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  const auto elapsed = Clock::now() - start;
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", args[0]);
    std::exit(1);
  }
  return std::chrono::duration<double, std::micro>(elapsed).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 300;
  const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                    ("qrticket-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string ticket = (dir / "ticket.bin").string();
  const std::string reference = (dir / "reference.bin").string();
  Run({QRTICKET_BINARY, "--device", reference}, {});  // the bytes cat writes

  std::vector<double> tool, cat;
  for (int i = 0; i < runs; ++i) {
    tool.push_back(Run({QRTICKET_BINARY, "--device", ticket}, {}));
    cat.push_back(Run({"/bin/cat", reference}, ticket));
  }
  std::filesystem::remove_all(dir);
  const double toolMedian = Median(tool), catMedian = Median(cat);
  std::printf("default ticket to a file: qrticket %.0f us, cat %.0f us (medians of %d)\n",
              toolMedian, catMedian, runs);
  std::printf("ratio: %.2f\n", toolMedian / catMedian);
  return 0;
}
