// What every CUPS test shares: the private scheduler, and a libcups that asks only it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "private_cupsd.h"
#include "run_program.h"
#include "temp_dir.h"

namespace qrticket::testing {

// Each test gets a scheduler of its own, so queues and the default destination never leak from
// one test to the next. Skips only when cupsd is not installed.
class CupsTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // The environment for a child (qrticket, qrticket-view): this scheduler and nothing of the
  // machine's own CUPS settings.
  EnvironmentChanges ChildEnvironment() const;

  std::unique_ptr<PrivateCupsd> cupsd_;
  TempDir settings_;  // an empty CUPS_SERVERROOT and HOME: no client.conf, no lpoptions
};

// Points this process's libcups at `server` with no settings of the machine's own (client.conf,
// lpoptions, LPDEST, PRINTER), however often it is called.
void UseCupsServer(const std::string& server, const std::filesystem::path& emptySettings);

// The environment that does the same for a child.
EnvironmentChanges CupsEnvironment(const std::string& server,
                                   const std::filesystem::path& emptySettings);

}  // namespace qrticket::testing
