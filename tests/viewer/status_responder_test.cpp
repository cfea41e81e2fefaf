// The virtual printer's answers: per simulated state, requests split over reads, GS I inside
// a QR code's data left alone, and the connection that only asked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "status_responder.h"
#include "temp_dir.h"
#include "ticket/publisher.h"

namespace qrticket::viewer {
namespace {

using qrticket::testing::Hex;
using namespace std::string_literals;

const std::string kDleEotAll = "\x10\x04\x01\x10\x04\x02\x10\x04\x03\x10\x04\x04"s;
const std::string kGsIAll = "\x1DI\x01\x1DI\x02\x1DI\x03\x1DI\x41\x1DI\x42\x1DI\x43\x1DI\x44"s;

struct StateCase {
  const char* name;
  SimulatedState state;
  const char* dleEotHex;  // answers to DLE EOT 1-4
  bool answersIdentity;
};

class ResponderStates : public ::testing::TestWithParam<StateCase> {};

TEST_P(ResponderStates, AnswersAsAPrinterInThatState) {
  const StateCase& c = GetParam();
  StatusResponder responder(c.state);
  EXPECT_EQ(Hex(responder.Feed(kDleEotAll)), c.dleEotHex);
  const std::string identity = responder.Feed(kGsIAll);
  if (c.answersIdentity) {
    EXPECT_EQ(Hex(identity), Hex("\x40\x02\x01"
                                 "\x5F" + std::string(publisher::kVersion) + "\0"s +
                                 "\x5F" "qrticket\0"
                                 "\x5F" "qrticket-view\0"
                                 "\x5F" "QRV-0001\0"s));
  } else {
    EXPECT_EQ(identity, "") << "an off-line printer keeps GS I in its buffer";
  }
  EXPECT_TRUE(responder.OnlyRequests());
}

INSTANTIATE_TEST_SUITE_P(
    States, ResponderStates,
    ::testing::Values(StateCase{"Ready", SimulatedState::Ready, "12 12 12 12", true},
                      StateCase{"PaperOut", SimulatedState::PaperOut, "1A 32 12 7E", false},
                      StateCase{"PaperNearEnd", SimulatedState::PaperNearEnd, "12 12 12 1E",
                                true},
                      StateCase{"CoverOpen", SimulatedState::CoverOpen, "1A 16 12 12", false},
                      StateCase{"Offline", SimulatedState::Offline, "1A 12 12 12", false},
                      StateCase{"Silent", SimulatedState::Silent, "", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StatusResponder, RequestsSplitOverReadsAreAnsweredOnceWhole) {
  StatusResponder responder;
  std::string answers;
  for (const char c : "\x10\x04\x01\x1DI\x43"s) answers += responder.Feed(std::string(1, c));
  EXPECT_EQ(Hex(answers), Hex("\x12\x5F" "qrticket-view\0"s));
}

TEST(StatusResponder, GsIInsideQrDataIsData) {
  StatusResponder responder;
  // GS ( k pL pH cn fn m d...: store the three bytes "1D 49 01" as QR data.
  const std::string store = "\x1D(k\x06\x00\x31\x50\x30\x1DI\x01"s;
  EXPECT_EQ(responder.Feed(store), "");
  EXPECT_EQ(Hex(responder.Feed("\x1DI\x01"s)), "40") << "after the data, GS I is a command";
  EXPECT_FALSE(responder.OnlyRequests());
}

TEST(StatusResponder, DleEotIsRealTimeEvenInsideData) {
  StatusResponder responder;
  EXPECT_EQ(Hex(responder.Feed("\x1D(k\x06\x00\x31\x50\x30\x10\x04\x01"s)), "12");
}

TEST(StatusResponder, ATicketIsMoreThanRequests) {
  StatusResponder responder;
  responder.Feed("\x1B@Hello\r\n"s);
  EXPECT_FALSE(responder.OnlyRequests());
  StatusResponder nothing;
  EXPECT_FALSE(nothing.OnlyRequests()) << "an empty connection asked nothing";
}

TEST(StatusResponder, UnknownRequestsGetNoAnswer) {
  StatusResponder responder;
  EXPECT_EQ(responder.Feed("\x10\x04\x07\x1DI\x10"s), "");
  const auto notes = responder.Notes();
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0], "pedido DLE EOT 7: sem resposta");
}

TEST(StatusResponder, NamesOfStates) {
  for (const char* name : {"ready", "paper-out", "paper-near-end", "cover-open", "offline",
                           "silent"}) {
    const auto state = SimulatedStateNamed(name);
    ASSERT_TRUE(state.has_value()) << name;
    EXPECT_EQ(SimulatedStateName(*state), name);
  }
  EXPECT_FALSE(SimulatedStateNamed("on-fire").has_value());
}

}  // namespace
}  // namespace qrticket::viewer
