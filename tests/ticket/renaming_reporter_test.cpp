// A job run on a scratch file for a name the operator typed: its failure speaks of that name
// wherever the scratch file's name stood, and the job is noted as failed.
#include <gtest/gtest.h>

#include <filesystem>

#include "recording_reporter.h"
#include "temp_dir.h"
#include "ticket/renaming_reporter.h"
#include "ticket/ticket_job.h"

namespace qrticket {
namespace {

using testing::RecordingReporter;
using testing::TempDir;

TEST(RenamingReporter, AFailedJobNamesWhatTheOperatorTyped) {
  TempDir temp;
  QrPrintSettings settings;
  settings.deviceName = (temp.path() / "sem-pasta" / "talao.bin").string();
  RecordingReporter recorded;
  RenamingReporter renaming(recorded, settings.deviceName, "VISUALIZAR:");
  PrintQrTest(settings, renaming);
  EXPECT_TRUE(renaming.failed);
  ASSERT_EQ(recorded.messages.size(), 1u);
  EXPECT_NE(recorded.messages[0].find("VISUALIZAR:"), std::string::npos) << recorded.messages[0];
  EXPECT_EQ(recorded.messages[0].find(settings.deviceName), std::string::npos)
      << recorded.messages[0];
}

TEST(RenamingReporter, ReplacesEveryOccurrenceAndNothingElse) {
  struct Row {
    const char* message;
    const char* shown;
  };
  const Row rows[] = {
      {"", ""},
      {"sem nome", "sem nome"},
      {"/tmp/x: falhou", "VISUALIZAR:: falhou"},
      {"/tmp/x e /tmp/x", "VISUALIZAR: e VISUALIZAR:"},
      {"/tmp/x/tmp/x", "VISUALIZAR:VISUALIZAR:"},
      {"/tmp/", "/tmp/"},
  };
  for (const Row& row : rows) {
    RecordingReporter recorded;
    RenamingReporter renaming(recorded, "/tmp/x", "VISUALIZAR:");
    renaming.ShowFailure(row.message);
    EXPECT_EQ(recorded.messages.at(0), row.shown) << row.message;
  }
}

TEST(RenamingReporter, AnEmptyNameChangesNothing) {
  RecordingReporter recorded;
  RenamingReporter renaming(recorded, "", "VISUALIZAR:");
  renaming.ShowFailure("falhou");
  EXPECT_EQ(recorded.messages.at(0), "falhou");
}

}  // namespace
}  // namespace qrticket
