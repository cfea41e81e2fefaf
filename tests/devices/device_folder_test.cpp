// A missing device is never created as a file in /dev, however the name reaches there; file
// systems mounted below /dev (/dev/shm) stay usable. Nothing is created in the real /dev: each
// refusal checks that its file does not exist afterwards (and removes it if a fault made it).
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "devices/device_failures.h"
#include "job_runner.h"
#include "temp_dir.h"
#include "ticket/ticket_defaults.h"
#include "ticket/ticket_job.h"
#include "ticket_bytes.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const ChannelOptions kOptions{.stallTimeout = 2000ms, .connectTimeout = 2000ms};

// The working folder for the life of the object.
class WorkingFolder {
 public:
  explicit WorkingFolder(const std::string& folder) : saved_(fs::current_path()) {
    fs::current_path(folder);
  }
  ~WorkingFolder() { fs::current_path(saved_); }
  WorkingFolder(const WorkingFolder&) = delete;
  WorkingFolder& operator=(const WorkingFolder&) = delete;

 private:
  fs::path saved_;
};

// A name of our own in a folder, unique to this run and row.
std::string OwnName(const std::string& row) {
  return "qrticket-test-" + std::to_string(::getpid()) + "-" + row;
}

struct FolderRow {
  const char* name;
  // Given a scratch folder and our own file name, returns the device name to type and sets
  // `landing`, where a created file would be. Runs with the working folder as it will be for
  // the job when `workIn` is set.
  std::function<std::string(const TempDir& scratch, const std::string& own, std::string& landing)>
      make;
  const char* workIn = nullptr;  // the job's working folder
  bool usable = false;           // the ticket is written (and removed afterwards)
};
void PrintTo(const FolderRow& row, std::ostream* os) { *os << row.name; }

class DeviceFolder : public ::testing::TestWithParam<FolderRow> {};

bool SeparateShm() {
  struct stat dev {}, shm {};
  return ::stat("/dev", &dev) == 0 && ::stat("/dev/shm", &shm) == 0 && S_ISDIR(shm.st_mode) &&
         dev.st_dev != shm.st_dev && ::access("/dev/shm", W_OK) == 0;
}

TEST_P(DeviceFolder, CreatesOnlyOutsideIt) {
  const FolderRow& row = GetParam();
  if (row.usable && !SeparateShm()) GTEST_SKIP() << "no writable /dev/shm file system here";
  TempDir scratch;
  std::string landing;
  const std::string device = row.make(scratch, OwnName(row.name), landing);
  ASSERT_FALSE(fs::exists(fs::symlink_status(landing))) << landing << " exists before the job";

  JobOutcome outcome;
  {
    std::optional<WorkingFolder> cwd;
    if (row.workIn != nullptr) cwd.emplace(row.workIn);
    outcome = RunJob(TicketTo(device, kSampleDataText), kOptions);
  }
  const bool created = fs::exists(fs::symlink_status(landing));
  const Bytes written = created ? ReadFileBytes(landing) : Bytes{};
  std::error_code ignored;
  fs::remove(landing, ignored);

  if (row.usable) {
    EXPECT_EQ(outcome.message, std::nullopt);
    EXPECT_TRUE(created) << landing;
    EXPECT_EQ(written, TicketBytes(TicketTo("", kSampleDataText)));
  } else {
    EXPECT_FALSE(created) << "a file was created in /dev: " << landing;
    EXPECT_EQ(outcome.message,
              kFailurePrefix +
                  failures::FromErrno(ENOENT, device, failures::Stage::Open).description());
  }
}

std::string InDev(const std::string& own, std::string& landing, const std::string& typed) {
  landing = "/dev/" + own;
  return typed + own;
}

INSTANTIATE_TEST_SUITE_P(
    Names, DeviceFolder,
    ::testing::Values(
        FolderRow{"plain",
                  [](const TempDir&, const std::string& own, std::string& landing) {
                    return InDev(own, landing, "/dev/");
                  }},
        FolderRow{"doubled_leading_slash",
                  [](const TempDir&, const std::string& own, std::string& landing) {
                    return InDev(own, landing, "//dev/");
                  }},
        FolderRow{"dot_folder_first",
                  [](const TempDir&, const std::string& own, std::string& landing) {
                    return InDev(own, landing, "/./dev/");
                  }},
        FolderRow{"through_dot_dot",
                  [](const TempDir&, const std::string& own, std::string& landing) {
                    return InDev(own, landing, "/dev/../dev/");
                  }},
        FolderRow{"doubled_slash_inside",
                  [](const TempDir&, const std::string& own, std::string& landing) {
                    return InDev(own, landing, "/dev//");
                  }},
        FolderRow{"folder_linked_to_dev",
                  [](const TempDir& scratch, const std::string& own, std::string& landing) {
                    fs::create_directory_symlink("/dev", scratch.File("devices"));
                    landing = "/dev/" + own;
                    return scratch.File("devices") + "/" + own;
                  }},
        FolderRow{"dangling_link_into_dev",
                  [](const TempDir& scratch, const std::string& own, std::string& landing) {
                    landing = "/dev/" + own;
                    fs::create_symlink(landing, scratch.File("printer"));
                    return scratch.File("printer");
                  }},
        FolderRow{"chain_of_links_into_dev",
                  [](const TempDir& scratch, const std::string& own, std::string& landing) {
                    landing = "/dev/" + own;
                    fs::create_symlink(landing, scratch.File("second"));
                    fs::create_symlink("second", scratch.File("first"));  // relative link
                    return scratch.File("first");
                  }},
        FolderRow{"relative_link_into_dev",
                  [](const TempDir& scratch, const std::string& own, std::string& landing) {
                    landing = "/dev/" + own;
                    fs::path up;
                    for (auto part = scratch.path().begin(); part != scratch.path().end(); ++part)
                      if (*part != "/") up /= "..";
                    fs::create_symlink(up / "dev" / own, scratch.File("printer"));
                    return scratch.File("printer");
                  }},
        FolderRow{"relative_name_in_dev",
                  [](const TempDir&, const std::string& own, std::string& landing) {
                    landing = "/dev/" + own;
                    return own;
                  },
                  "/dev"},
        FolderRow{"dot_slash_name_in_dev",
                  [](const TempDir&, const std::string& own, std::string& landing) {
                    landing = "/dev/" + own;
                    return "./" + own;
                  },
                  "/dev"},
        FolderRow{"file_in_dev_shm",
                  [](const TempDir&, const std::string& own, std::string& landing) {
                    landing = "/dev/shm/" + own;
                    return landing;
                  },
                  nullptr, true},
        FolderRow{"doubled_slash_into_dev_shm",
                  [](const TempDir&, const std::string& own, std::string& landing) {
                    landing = "/dev/shm/" + own;
                    return "//dev//shm/" + own;
                  },
                  nullptr, true},
        FolderRow{"dangling_link_into_dev_shm",
                  [](const TempDir& scratch, const std::string& own, std::string& landing) {
                    landing = "/dev/shm/" + own;
                    fs::create_symlink(landing, scratch.File("printer"));
                    return scratch.File("printer");
                  },
                  nullptr, true},
        FolderRow{"relative_name_in_dev_shm",
                  [](const TempDir&, const std::string& own, std::string& landing) {
                    landing = "/dev/shm/" + own;
                    return own;
                  },
                  "/dev/shm", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::testing
