// The serial printer is a pseudo-terminal: Linux and other POSIX systems have it.
#include "view_options.h"

namespace qrticket::viewer::cli {

const bool kHasSerialPrinter = true;

}  // namespace qrticket::viewer::cli
