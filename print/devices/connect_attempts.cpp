// The failure a host's connect attempts make together (see connect_attempts.h).
#include "devices/connect_attempts.h"

#include "devices/device_failures.h"

namespace qrticket {

void ConnectAttempts::Failed(Attempt attempt, int error) {
  switch (attempt) {
    case Attempt::Connected:
      return;
    case Attempt::Refused:
      refused_ = true;
      return;
    case Attempt::TimedOut:
      throw failures::ConnectTimedOut(device_, connectTimeout_);
    case Attempt::OtherError:
      if (!firstError_) firstError_ = error;
      return;
  }
}

void ConnectAttempts::ThrowIfRefused() const {
  if (refused_) throw failures::ConnectionRefused(device_);
}

}  // namespace qrticket
