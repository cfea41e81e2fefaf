// USB printers through SetupAPI: the interfaces of GUID_DEVINTERFACE_USBPRINT, each asked for
// its IEEE 1284 ID (IOCTL_USBPRINT_GET_1284_ID) on a handle that reads and writes nothing.
#include "devices/win/usb_printers.h"

#include <cctype>
#include <map>

#include <setupapi.h>

#include "devices/device_failures.h"
#include "devices/ieee1284_id.h"
#include "devices/win/handle_device.h"
#include "devices/win/wide_text.h"

namespace qrticket {
namespace {

// {28D78FAD-5A12-11D1-AE5B-0000F803A8C2}, which MinGW's headers do not define.
constexpr GUID kUsbPrintInterface = {
    0x28d78fad, 0x5a12, 0x11d1, {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};
// CTL_CODE(FILE_DEVICE_UNKNOWN, 13, METHOD_BUFFERED, FILE_ANY_ACCESS), from usbprint.h.
constexpr DWORD kGet1284Id = 0x220034;

// The ID as the printer sends it: two bytes of length (big-endian, themselves included), then
// the text.
std::string DeviceIdOf(const std::wstring& path) {
  const HANDLE handle = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  char buffer[1024] = {};
  DWORD got = 0;
  const BOOL ok =
      ::DeviceIoControl(handle, kGet1284Id, nullptr, 0, buffer, sizeof buffer, &got, nullptr);
  ::CloseHandle(handle);
  if (!ok || got <= 2) return {};
  return std::string(buffer + 2, got - 2);
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::vector<UsbPrinterInterface> SystemCalls::UsbPrinterInterfaces() {
  std::vector<UsbPrinterInterface> found;
  const HDEVINFO set = ::SetupDiGetClassDevsW(&kUsbPrintInterface, nullptr, nullptr,
                                              DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return found;
  SP_DEVICE_INTERFACE_DATA face{};
  face.cbSize = sizeof face;
  for (DWORD index = 0;
       ::SetupDiEnumDeviceInterfaces(set, nullptr, &kUsbPrintInterface, index, &face); ++index) {
    DWORD needed = 0;
    ::SetupDiGetDeviceInterfaceDetailW(set, &face, nullptr, 0, &needed, nullptr);
    if (needed < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
    std::vector<BYTE> buffer(needed);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!::SetupDiGetDeviceInterfaceDetailW(set, &face, detail, needed, nullptr, nullptr)) continue;
    const std::wstring path = detail->DevicePath;
    found.push_back({path, DeviceIdOf(path)});
  }
  ::SetupDiDestroyDeviceInfoList(set);
  return found;
}

std::vector<UsbPrinter> ListUsbPrinters(SystemCalls& sys) {
  std::vector<UsbPrinter> printers;
  std::map<std::string, int> seen;  // names in capitals, as --device compares them
  for (const UsbPrinterInterface& face : sys.UsbPrinterInterfaces()) {
    const Ieee1284Id id = ParseIeee1284Id(face.deviceId);
    std::string name = PrinterName(id);
    if (name.empty()) name = "USB " + std::to_string(printers.size() + 1);
    if (const int count = ++seen[Upper(name)]; count > 1) name += " (" + std::to_string(count) + ")";
    printers.push_back({"usb:" + name, id.commandSet, face.path});
  }
  return printers;
}

std::unique_ptr<OutputDevice> OpenUsbPrinterDevice(const std::string& printer,
                                                   std::string_view device,
                                                   const ChannelOptions& options, SystemCalls& sys) {
  for (const UsbPrinter& found : ListUsbPrinters(sys)) {
    if (Upper(found.name.substr(4)) != Upper(printer)) continue;
    DeviceTarget target;
    target.kind = DeviceTarget::Kind::Path;
    target.path = Utf8FromWide(found.path);
    return OpenHandleDevice(target, device, options, sys);
  }
  throw failures::UsbPrinterMissing(device);
}

}  // namespace qrticket
