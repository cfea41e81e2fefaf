// Receipts that no one here wrote: streams made by the npm encoder libraries POS programs use
// (fixtures/make_fixtures.mjs made them; fixtures/expectations.tsv says what each must show).
// Their QR codes, native or sent as pictures, scan with zbar to exactly the data; their bar
// codes and PDF417 symbols read back with ZXing; text in PC437 and PC860 draws the very pixels
// of the same text in WPC1252; and no command in them is unknown to the parser.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "code_reader.h"
#include "render_ticket.h"
#include "temp_dir.h"
#include "viewer_test_support.h"

namespace qrticket::viewer {
namespace {

const std::filesystem::path kFixtures = QRTICKET_VIEWER_FIXTURES;

struct Expectation {
  std::string kind;  // qr, code, same
  std::string file;
  int paper = 576;
  Bytes first;   // qr: data; code: format; same: the other file
  Bytes second;  // code: text
};

void PrintTo(const Expectation& e, std::ostream* out) { *out << e.kind << " " << e.file; }

Bytes Unescape(const std::string& text) {
  Bytes out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    if (c == 't') out += '\t';
    else if (c == 'n') out += '\n';
    else if (c == 'x' && i + 2 < text.size()) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else out += c;
  }
  return out;
}

std::vector<Expectation> Load() {
  std::vector<Expectation> rows;
  std::ifstream in(kFixtures / "expectations.tsv");
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::stringstream split(line);
    for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
    if (fields.size() < 4) continue;
    rows.push_back({fields[0], fields[1], std::stoi(fields[2]), Unescape(fields[3]),
                    fields.size() > 4 ? Unescape(fields[4]) : Bytes()});
  }
  return rows;
}

RenderedTicket Draw(const std::string& file, int paper) {
  RenderOptions options;
  options.paperWidth = paper;
  return RenderTicket(qrticket::testing::ReadFileBytes(kFixtures / file), options);
}

class ThirdPartyReceipts : public ::testing::TestWithParam<Expectation> {};

TEST_P(ThirdPartyReceipts, ShowWhatTheLibraryMeant) {
  const Expectation& e = GetParam();
  const RenderedTicket t = Draw(e.file, e.paper);
  if (e.kind == "qr") {
    const auto found = testing::DecodeQr(t);
    EXPECT_NE(std::find(found.begin(), found.end(), e.first), found.end())
        << "no QR symbol with '" << e.first << "'\n" << testing::ReportText(t);
  } else if (e.kind == "code") {
    const auto found = testing::ReadCodes(t);
    const bool seen = std::any_of(found.begin(), found.end(), [&](const testing::ReadCode& c) {
      return c.format == e.first && (c.text == e.second || c.bytes == e.second);
    });
    std::string got;
    for (const auto& c : found) got += c.format + ": " + c.text + "\n";
    EXPECT_TRUE(seen) << "no " << e.first << " with '" << e.second << "'; read:\n"
                      << got << testing::ReportText(t);
  } else {
    const RenderedTicket other = Draw(e.first, e.paper);
    EXPECT_EQ(t.pixels, other.pixels) << e.file << " and " << e.first << " differ";
    EXPECT_GT(std::count(t.pixels.begin(), t.pixels.end(), 0), 1000);
  }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ThirdPartyReceipts, ::testing::ValuesIn(Load()),
                         [](const auto& info) {
                           std::string name = info.param.kind + "_" + info.param.file + "_" +
                                              std::to_string(info.index);
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

// Every command the libraries send is one the parser knows, drawn or knowingly skipped.
TEST(ThirdPartyReceipts, HoldNoUnknownCommand) {
  ASSERT_FALSE(Load().empty());
  for (const auto& entry : std::filesystem::directory_iterator(kFixtures)) {
    if (entry.path().extension() != ".bin") continue;
    const RenderedTicket t = Draw(entry.path().filename().string(), 576);
    EXPECT_FALSE(testing::ReportHas(t, "desconhecido")) << entry.path() << "\n"
                                                         << testing::ReportText(t);
    EXPECT_FALSE(testing::ReportHas(t, "incompleto")) << entry.path();
  }
}

}  // namespace
}  // namespace qrticket::viewer
