// Files and device paths on the real system (under Wine in CI): names in UTF-8, a file that
// another program holds, a folder, a missing folder, a read-only file, a missing port.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "devices/device_channel.h"
#include "devices/win/wide_text.h"
#include "fake_system_calls.h"
#include "temp_dir.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;

std::wstring Wide(const std::string& utf8) { return WideFromUtf8(utf8).value(); }

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
  const HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(h);
}

Bytes ReadBack(const std::string& path) { return ReadFileBytes(std::filesystem::path(Wide(path))); }

struct FileRow {
  const char* name;
  // Prepares the test's folder and returns the device name to print to.
  std::function<std::string(const TempDir&)> prepare;
  const char* failure;  // the start of the message after "Falha na impressão:"; null: success
};
void PrintTo(const FileRow& row, std::ostream* out) { *out << row.name; }

class Files : public ::testing::TestWithParam<FileRow> {};

TEST_P(Files, PrintOrFailCleanly) {
  const FileRow& row = GetParam();
  TempDir dir;
  const std::string device = row.prepare(dir);
  const std::optional<std::string> message = RunTicketJob(device, SystemCalls::Real(), 5s);
  if (row.failure == nullptr) {
    EXPECT_FALSE(message) << *message;
    EXPECT_EQ(Hex(ReadBack(device)), Hex(ExpectedTicket()));
  } else {
    ASSERT_TRUE(message);
    EXPECT_EQ(message->rfind(std::string("Falha na impressão:") + row.failure, 0), 0u) << *message;
    EXPECT_NE(message->find("\"" + device + "\""), std::string::npos) << *message;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, Files,
    ::testing::Values(
        FileRow{"ANonAsciiNameIsTakenAsUtf8",
                [](const TempDir& d) { return d.File("talão-€.bin"); }, nullptr},
        FileRow{"AnExistingFileIsEmptiedFirst",
                [](const TempDir& d) {
                  WriteFileBytes(d.File("old.bin"), Bytes(100000, 'O'));
                  return d.File("old.bin");
                },
                nullptr},
        FileRow{"AFolderIsNotAFile",
                [](const TempDir& d) {
                  std::filesystem::create_directory(d.path() / "pasta");
                  return d.File("pasta");
                },
                "\""},  // "...\pasta" é uma pasta
        FileRow{"AMissingFolderDoesNotExist",
                [](const TempDir& d) { return d.File("nada\\t.bin"); },
                "O dispositivo ou ficheiro"},
        FileRow{"AMissingPortDoesNotExist", [](const TempDir&) { return std::string("\\\\.\\COM255"); },
                "O dispositivo ou ficheiro \"\\\\.\\COM255\" não existe"},
        FileRow{"AnEmptyNameIsInvalid", [](const TempDir&) { return std::string(); },
                "Nome de dispositivo inválido"}),
    [](const auto& info) { return std::string(info.param.name); });

// The folder case names the folder as such.
TEST(Files, AFolderIsSaidToBeAFolder) {
  TempDir dir;
  const std::optional<std::string> message = RunTicketJob(dir.path().string(), SystemCalls::Real(), 5s);
  ASSERT_TRUE(message);
  EXPECT_NE(message->find("é uma pasta"), std::string::npos) << *message;
}

// A file another program has open is busy: the job fails and leaves the file as it was.
TEST(Files, AFileHeldByAnotherProgramIsBusyAndKeptAsItIs) {
  TempDir dir;
  const std::string path = dir.File("held.bin");
  WriteFileBytes(path, "old content");
  const HANDLE holder = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  const std::optional<std::string> message = RunTicketJob(path, SystemCalls::Real(), 5s);
  ::CloseHandle(holder);
  ASSERT_TRUE(message);
  EXPECT_NE(message->find("ocupado"), std::string::npos) << *message;
  EXPECT_EQ(ReadBack(path), "old content");
}

// Two jobs on one file at the same time: the second is busy, the first prints whole.
TEST(Files, ASecondJobOnTheSameFileIsBusy) {
  TempDir dir;
  const std::string path = dir.File("shared.bin");
  DeviceChannel first;
  first.OpenForOutput(1, path);
  const std::optional<std::string> second = RunTicketJob(path, SystemCalls::Real(), 5s);
  ASSERT_TRUE(second);
  EXPECT_NE(second->find("ocupado"), std::string::npos) << *second;
  first.PrintItems(1, {"primeiro"});
  first.CloseAll();
  EXPECT_EQ(ReadBack(path), "primeiro\r\n");
}

// A read-only file is refused with the permission text, not emptied.
TEST(Files, AReadOnlyFileIsRefused) {
  TempDir dir;
  const std::string path = dir.File("read-only.bin");
  WriteFileBytes(path, "keep");
  ASSERT_TRUE(::SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_READONLY));
  const HANDLE probe = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    ::CloseHandle(probe);
    ::SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    GTEST_SKIP() << "this system lets the user write to read-only files (Wine run as root)";
  }
  const std::optional<std::string> message = RunTicketJob(path, SystemCalls::Real(), 5s);
  ::SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(message);
  EXPECT_NE(message->find("Sem permissão"), std::string::npos) << *message;
  EXPECT_EQ(ReadBack(path), "keep");
}

}  // namespace
}  // namespace qrticket::testing
