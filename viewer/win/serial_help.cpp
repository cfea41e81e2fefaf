// Windows has no pseudo-terminal to be a serial line: the help leaves --serial out (it is still
// taken, and says so).
#include "view_options.h"

namespace qrticket::viewer::cli {

const bool kHasSerialPrinter = false;

}  // namespace qrticket::viewer::cli
