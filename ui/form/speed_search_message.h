// "Procurar velocidade", in the Estado button's context menu: the serial printer's settings
// found for the device box, or why they were not.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qrticket::ui {

struct SpeedSearchOutcome {
  std::optional<std::string> found;  // the name with the settings ("COM3:19200,n,8,1")
  std::string message;               // what to show, in either case
  bool interrupted = false;          // ended by `cancelFd`: nothing to show
};

// Searches the settings at which the serial printer on `device` (as typed, UTF-8) answers.
// `onTry` runs before each try with the settings about to be tried ("19200,n,8,1"): the window
// shows them and keeps answering there. The search ends as interrupted once `cancelFd` (if 0 or
// more) is readable. Bounded: 8 s at most.
SpeedSearchOutcome SearchSpeed(std::string_view device, int cancelFd,
                               const std::function<void(std::string_view tried)>& onTry);

}  // namespace qrticket::ui
