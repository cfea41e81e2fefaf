// Ctrl+C on Windows: not watched. The Windows device layer has no cancel descriptor to wake,
// so Ctrl+C keeps its default effect (the process ends; Windows closes its handles).
#include "signal_watch.h"

namespace qrticket::cli {

SignalWatch::SignalWatch() = default;
SignalWatch::~SignalWatch() = default;

int SignalWatch::CaughtSignal() { return 0; }

}  // namespace qrticket::cli
