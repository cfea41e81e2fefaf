// The status box's words for a serial line that does not answer: the failure, then the next
// step the window offers (its speed search), on a pseudo-terminal nobody answers on.
#include <gtest/gtest.h>

#include "pty_pair.h"
#include "status_message.h"

namespace qrticket::ui {
namespace {

TEST(StatusMessage, ASilentSerialLinePointsToTheSpeedSearch) {
  testing::PtyPair line;
  const std::string message = StatusMessage(line.slavePath());
  EXPECT_NE(message.find("a impressora não respondeu"), std::string::npos) << message;
  const std::string next = "Procurar velocidade\", no menu do botão Estado, procura-a.";
  EXPECT_EQ(message.size() - message.rfind(next), next.size()) << message;
}

}  // namespace
}  // namespace qrticket::ui
