// The desktop program's process on Windows: no SIGPIPE to keep away; sockets report a lost
// connection as an error.
#include "process_setup.h"

namespace qrticket::ui {

void PrepareProcess() {}

}  // namespace qrticket::ui
