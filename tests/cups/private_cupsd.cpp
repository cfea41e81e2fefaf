// The private scheduler: two configuration files, one foreground cupsd.
#include "private_cupsd.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>

namespace qrticket::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool Accepts(int port) {
  const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool connected = ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(s);
  return connected;
}

void WriteFile(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }

}  // namespace

std::string PrivateCupsd::FindCupsd() {
  for (const char* candidate : {"/usr/sbin/cupsd", "/sbin/cupsd", "/usr/local/sbin/cupsd"})
    if (::access(candidate, X_OK) == 0) return candidate;
  return {};
}

PrivateCupsd::PrivateCupsd() {
  const std::string cupsd = FindCupsd();
  if (cupsd.empty()) {
    error_ = "cupsd is not installed";
    return;
  }
  // Backends run as the unprivileged "lp" and must reach the spool files below.
  fs::permissions(dir_.path(), fs::perms(0755));
  const fs::path root = dir_.path();
  for (const char* sub : {"etc", "cache", "state", "spool", "tmp", "log"})
    fs::create_directories(root / sub);
  const int port = FreeLoopbackPort();
  server_ = "127.0.0.1:" + std::to_string(port);

  const std::string r = root.string();
  WriteFile(root / "cups-files.conf", "ServerRoot " + r +
                                          "/etc\n"
                                          "CacheDir " +
                                          r +
                                          "/cache\n"
                                          "StateDir " +
                                          r +
                                          "/state\n"
                                          "RequestRoot " +
                                          r +
                                          "/spool\n"
                                          "TempDir " +
                                          r +
                                          "/tmp\n"
                                          "ErrorLog " +
                                          r +
                                          "/log/error_log\n"
                                          "AccessLog " +
                                          r +
                                          "/log/access_log\n"
                                          "PageLog " +
                                          r +
                                          "/log/page_log\n"
                                          "Printcap " +
                                          r +
                                          "/printcap\n"
                                          "ServerBin /usr/lib/cups\n"
                                          "DataDir /usr/share/cups\n");
  WriteFile(root / "cupsd.conf",
            "Listen " + server_ +
                "\n"
                "Browsing No\n"
                "DefaultAuthType None\n"
                "WebInterface No\n"
                "LogLevel info\n"
                "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");

  cupsd_ = std::make_unique<BackgroundProgram>(
      std::vector<std::string>{cupsd, "-f", "-c", r + "/cupsd.conf", "-s", r + "/cups-files.conf"},
      root / "log" / "cupsd.out", root / "log" / "cupsd.out");
  if (!cupsd_->started()) {
    error_ = "cannot start " + cupsd;
    return;
  }
  if (!PollUntil([&] { return Accepts(port) || !cupsd_->Running(); }, 15s) || !cupsd_->Running())
    error_ = "cupsd did not start on " + server_ + ":\n" + Log() +
             ReadFileBytes(root / "log" / "cupsd.out");
}

PrivateCupsd::~PrivateCupsd() {
  if (cupsd_) cupsd_->Stop();
}

ProgramRun PrivateCupsd::Command(const std::string& program, std::vector<std::string> args) const {
  args.insert(args.begin(), {program, "-h", server_});
  return RunProgram(args, {{"CUPS_SERVER", server_}}, 30s);
}

void PrivateCupsd::AddRawQueue(const std::string& queue, const std::string& deviceUri,
                               std::vector<std::string> extra) const {
  std::vector<std::string> args = {"-p", queue, "-E", "-v", deviceUri};
  args.insert(args.end(), extra.begin(), extra.end());
  const ProgramRun run = Command("lpadmin", args);
  EXPECT_EQ(run.exitCode, 0) << "lpadmin " << queue << ": " << run.err << Log();
}

std::string PrivateCupsd::PendingJobs(const std::string& queue) const {
  return Command("lpstat", {"-o", queue}).out;
}

std::string PrivateCupsd::Log() const { return ReadFileBytes(dir_.path() / "log" / "error_log"); }

}  // namespace qrticket::testing
