// Running one ticket job in a device test.
#include "job_runner.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "ticket/ticket_defaults.h"
#include "ticket/ticket_job.h"

namespace qrticket::testing {
namespace {

class RecordingReporter final : public FailureReporter {
 public:
  void ShowFailure(const std::string& message) override {
    last = message;
    ++count;
  }
  std::optional<std::string> last;
  int count = 0;
};

}  // namespace

QrPrintSettings TicketTo(const std::string& device, const Bytes& dataText) {
  return QrPrintSettings{.dataText = dataText,
                         .deviceName = device,
                         .moduleSizeText = kDefaultModuleSizeText,
                         .modelIndex = kDefaultModelIndex,
                         .errorLevelIndex = kDefaultErrorLevelIndex,
                         .pageMode = false,
                         .centred = false,
                         .woosimDialect = false};
}

Bytes LongestDataText() {
  // Position-dependent: a run of 62 symbols, shifted by one every run.
  static constexpr std::string_view kSymbols =
      "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  Bytes text;
  text.reserve(32764);
  for (std::size_t i = 0; text.size() < 32764; ++i)
    text += kSymbols[(i + i / kSymbols.size()) % kSymbols.size()];
  return text;
}

JobOutcome RunJob(const QrPrintSettings& settings, const ChannelOptions& options,
                  SystemCalls& sys) {
  RecordingReporter reporter;
  const auto start = std::chrono::steady_clock::now();
  PrintQrTest(settings, reporter, options, sys);
  JobOutcome outcome;
  outcome.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  outcome.message = reporter.last;
  outcome.reports = reporter.count;
  return outcome;
}

std::map<int, std::string> OpenDescriptors() {
  std::map<int, std::string> open;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
    const int fd = std::stoi(entry.path().filename().string());
    std::error_code ignored;
    const auto target = std::filesystem::read_symlink(entry.path(), ignored);
    open[fd] = target.string();
  }
  return open;
}

std::string Leaked(const std::map<int, std::string>& before,
                   const std::map<int, std::string>& after) {
  std::string leaked;
  for (const auto& [fd, target] : after) {
    const auto it = before.find(fd);
    if (it != before.end() && it->second == target) continue;
    if (target.find("/proc/") != std::string::npos) continue;  // the listing's own descriptor
    leaked.append(std::to_string(fd)).append(" -> ").append(target).append("\n");
  }
  return leaked;
}

std::optional<int> WaitForChild(pid_t child, std::chrono::milliseconds bound) {
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (::waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      return std::nullopt;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return status;
}

}  // namespace qrticket::testing
