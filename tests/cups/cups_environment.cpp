#include "cups_environment.h"

#include <cups/cups.h>
#include <stdlib.h>

namespace qrticket::testing {

EnvironmentChanges CupsEnvironment(const std::string& server,
                                   const std::filesystem::path& emptySettings) {
  return {{"CUPS_SERVER", server},
          {"CUPS_SERVERROOT", emptySettings.string()},
          {"HOME", emptySettings.string()},
          {"LPDEST", std::nullopt},
          {"PRINTER", std::nullopt}};
}

void UseCupsServer(const std::string& server, const std::filesystem::path& emptySettings) {
  for (const auto& [name, value] : CupsEnvironment(server, emptySettings)) {
    if (value)
      ::setenv(name.c_str(), value->c_str(), 1);
    else
      ::unsetenv(name.c_str());
  }
  cupsSetServer(nullptr);  // forget a server read before: the next call reads CUPS_SERVER again
}

void CupsTest::SetUp() {
  if (PrivateCupsd::FindCupsd().empty())
    GTEST_SKIP() << "cupsd is not installed (Debian package \"cups\"; scripts/deps.sh installs it)";
  cupsd_ = std::make_unique<PrivateCupsd>();
  ASSERT_TRUE(cupsd_->ok()) << cupsd_->error();
  UseCupsServer(cupsd_->server(), settings_.path());
}

EnvironmentChanges CupsTest::ChildEnvironment() const {
  return CupsEnvironment(cupsd_->server(), settings_.path());
}

}  // namespace qrticket::testing
