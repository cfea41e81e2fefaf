#include "output_device.h"

#include "device_name.h"
#include "file_device.h"

namespace qrticket {

std::unique_ptr<OutputDevice> OpenOutputDevice(std::string_view name,
                                               const ChannelOptions& options, SystemCalls& sys) {
  return OpenFileDevice(ResolveDeviceName(name), name, options, sys);
}

}  // namespace qrticket
