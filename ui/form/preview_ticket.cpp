// The preview's ticket bytes (see preview_ticket.h).
#include "preview_ticket.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "devices/device_failures.h"
#include "discovery/device_discovery.h"
#include "form_texts.h"
#include "ticket/renaming_reporter.h"

namespace qrticket::ui {
namespace {

namespace fs = std::filesystem;

// A new folder of the job's own in the system's temporary folder, removed with this.
class ScratchFolder {
 public:
  explicit ScratchFolder(std::error_code& error) {
    const fs::path base = fs::temp_directory_path(error);
    if (error) return;
    std::random_device seed;
    for (int attempt = 0; attempt < 16; ++attempt) {
      fs::path candidate = base / ("qrticket-" + std::to_string(seed()));
      if (fs::create_directory(candidate, error)) {
        path_ = std::move(candidate);
        return;
      }
      if (error) return;
    }
    error = std::make_error_code(std::errc::file_exists);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

}  // namespace

std::optional<Bytes> PreviewTicketBytes(const QrPrintSettings& settings, FailureReporter& reporter) {
  std::error_code error;
  const ScratchFolder scratch(error);
  if (error) {
    reporter.ShowFailure(kFailurePrefix + texts::NoScratchFolder(failures::SystemErrorText(
                                              error.default_error_condition().value())));
    return std::nullopt;
  }
  QrPrintSettings toFile = settings;
  const fs::path file = scratch.path() / "ticket.bin";
  toFile.deviceName = reinterpret_cast<const char*>(file.u8string().c_str());
  RenamingReporter renaming(reporter, toFile.deviceName, kPreviewDevice);
  PrintQrTest(toFile, renaming);
  if (renaming.failed) return std::nullopt;

  std::ifstream in(file, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace qrticket::ui
