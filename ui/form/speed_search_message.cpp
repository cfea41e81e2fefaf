// Runs the speed search for the window and words its outcome (see speed_search_message.h).
#include "speed_search_message.h"

#include "devices/device_name.h"
#include "devices/failure.h"
#include "form_texts.h"
#include "status/speed_search.h"
#include "status/status_texts.h"

namespace qrticket::ui {

SpeedSearchOutcome SearchSpeed(std::string_view device, int cancelFd,
                               const std::function<void(std::string_view tried)>& onTry) {
  SpeedSearchOutcome outcome;
  outcome.message = texts::SpeedSearchHeading(device);
  SpeedSearchOptions options;
  options.cancelFd = cancelFd;
  try {
    const auto result = FindSerialSettings(device, options, [&onTry](const SerialSettings& tried) {
      if (onTry) onTry(SerialSettingsText(tried));
    });
    if (result.found) {
      outcome.found = NameWithSettings(device, *result.found);
      outcome.message += '\n' + texts::SpeedFound(*outcome.found);
    } else if (result.cutAt) {
      outcome.message +=
          '\n' + SpeedSearchCut(options.whole, SerialSettingsText(*result.cutAt));
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
