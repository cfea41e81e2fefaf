// USB printers through SetupAPI: the interfaces of GUID_DEVINTERFACE_USBPRINT, each asked for
// its IEEE 1284 ID (IOCTL_USBPRINT_GET_1284_ID) on a handle that reads and writes nothing, and
// for its USB001 port in its registry key.
#include "devices/win/usb_printers.h"

#include <algorithm>
#include <cctype>
#include <map>

#include <setupapi.h>

#include "devices/device_failures.h"
#include "devices/ieee1284_id.h"
#include "devices/win/handle_device.h"
#include "devices/win/printer_failures.h"
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

// The port the USB print monitor gave the interface, from its registry key: "Port Number" (a
// DWORD) and "Base Name" ("USB"). Nothing changes when the key or the number is missing.
void ReadPort(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& face, UsbPrinterInterface& found) {
  const HKEY key = ::SetupDiOpenDeviceInterfaceRegKey(set, &face, 0, KEY_READ);
  if (key == INVALID_HANDLE_VALUE) return;
  DWORD number = 0, type = 0, size = sizeof number;
  if (::RegQueryValueExW(key, L"Port Number", nullptr, &type, reinterpret_cast<BYTE*>(&number),
                         &size) == ERROR_SUCCESS &&
      type == REG_DWORD && size == sizeof number)
    found.portNumber = number;
  wchar_t base[64] = {};
  size = sizeof base - sizeof base[0];  // room for the NUL the value may lack
  if (::RegQueryValueExW(key, L"Base Name", nullptr, &type, reinterpret_cast<BYTE*>(base),
                         &size) == ERROR_SUCCESS &&
      type == REG_SZ && base[0] != L'\0')
    found.portBase = Utf8FromWide(base);
  ::RegCloseKey(key);
}

// "USB001": the base name and the number in at least three digits, as the print monitor
// names its ports.
std::string PortName(const UsbPrinterInterface& face) {
  if (!face.portNumber) return {};
  std::string digits = std::to_string(*face.portNumber);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  return face.portBase + digits;
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
    UsbPrinterInterface& added = found.emplace_back();
    added.path = detail->DevicePath;
    added.deviceId = DeviceIdOf(added.path);
    ReadPort(set, face, added);
  }
  ::SetupDiDestroyDeviceInfoList(set);
  return found;
}

std::vector<UsbPrinter> ListUsbPrinters(SystemCalls& sys) {
  std::vector<UsbPrinterInterface> faces = sys.UsbPrinterInterfaces();
  // Names are given in this order; Windows' own changes with the order of plugging in.
  std::stable_sort(faces.begin(), faces.end(), [](const auto& a, const auto& b) {
    if (a.portNumber.has_value() != b.portNumber.has_value()) return a.portNumber.has_value();
    if (a.portNumber != b.portNumber) return *a.portNumber < *b.portNumber;
    return a.path < b.path;
  });
  std::vector<UsbPrinter> printers;
  std::map<std::string, int> seen;  // names in capitals, as --device compares them
  for (const UsbPrinterInterface& face : faces) {
    const Ieee1284Id id = ParseIeee1284Id(face.deviceId);
    std::string name = PrinterName(id);
    if (name.empty()) name = "USB " + std::to_string(printers.size() + 1);
    if (const int count = ++seen[Upper(name)]; count > 1) name += " (" + std::to_string(count) + ")";
    printers.push_back({"usb:" + name, id.commandSet, face.path, PortName(face)});
  }
  return printers;
}

UsbPrinter FindUsbPrinter(const std::string& printer, std::string_view device, SystemCalls& sys) {
  const std::vector<UsbPrinter> printers = ListUsbPrinters(sys);
  const std::string wanted = Upper(printer);
  for (const UsbPrinter& found : printers)
    if (Upper(found.name.substr(4)) == wanted) return found;
  for (const UsbPrinter& found : printers)
    if (!found.port.empty() && Upper(found.port) == wanted) return found;
  throw failures::UsbPrinterMissing(device);
}

std::unique_ptr<OutputDevice> OpenUsbPrinterDevice(const std::string& printer,
                                                   std::string_view device,
                                                   const ChannelOptions& options, SystemCalls& sys) {
  DeviceTarget target;
  target.kind = DeviceTarget::Kind::Path;
  target.path = Utf8FromWide(FindUsbPrinter(printer, device, sys).path);
  return OpenHandleDevice(target, device, options, sys);
}

}  // namespace qrticket
