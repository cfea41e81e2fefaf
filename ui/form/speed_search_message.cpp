// Runs the speed search for the window and words its outcome (see speed_search_message.h).
#include "speed_search_message.h"

#include "devices/device_name.h"
#include "devices/failure.h"
#include "form_texts.h"
#include "status/speed_search.h"
#include "status/status_texts.h"

namespace qrticket::ui {

SpeedSearchOutcome SearchSpeed(std::string_view device, int cancelFd,
                               const std::function<void()>& onTry) {
  SpeedSearchOutcome outcome;
  outcome.message = texts::SpeedSearchHeading(device);
  SpeedSearchOptions options;
  options.cancelFd = cancelFd;
  try {
    const auto found = FindSerialSettings(device, options, [&onTry](const SerialSettings&) {
      if (onTry) onTry();
    });
    if (found) {
      outcome.found = NameWithSettings(device, *found);
      outcome.message += '\n' + texts::SpeedFound(*outcome.found);
    } else {
      outcome.message += '\n' + NoSpeedAnswered();
    }
  } catch (const PrintFailure& failure) {
    outcome.interrupted = failure.code() == FailureCode::Interrupted;
    outcome.message += '\n' + failure.description();
  }
  return outcome;
}

}  // namespace qrticket::ui
