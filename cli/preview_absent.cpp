// "VISUALIZAR:" where the virtual printer is not built (QRTICKET_BUILD_VIEWER=OFF): refused,
// so that the name never becomes a file of that name.
#include "discovery/device_discovery.h"
#include "preview_command.h"
#include "ticket/ticket_job.h"

namespace qrticket::cli {

bool WantsPreview(const CliOptions& options) {
  return ModeNeedsDevice(options.mode) && IsPreviewDeviceName(options.settings.deviceName);
}

int RunPreview(const CliOptions&, std::ostream&, std::ostream& err, int (*)()) {
  err << kFailurePrefix << kPreviewDevice
      << " desenha o talão com a impressora virtual, que esta compilação não tem "
         "(QRTICKET_BUILD_VIEWER)\n";
  return kExitPrintFailed;
}

}  // namespace qrticket::cli
