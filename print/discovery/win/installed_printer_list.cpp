// Printers installed in Windows, through EnumPrintersW, with what stops them printing, and
// USB printers of the USB printing class.
#include <algorithm>
#include <vector>

#include "devices/system_calls.h"
#include "devices/win/printer_state.h"
#include "devices/win/wide_text.h"
#include "discovery/discovery_texts.h"
#include "discovery/win/windows_listers.h"

namespace qrticket {

std::vector<DiscoveredDevice> DescribeInstalledPrinters(const std::vector<InstalledPrinter>& printers) {
  std::vector<DiscoveredDevice> devices;
  for (const InstalledPrinter& printer : printers)
    devices.push_back({.name = "printer:" + printer.name,
                       .description = discovery_texts::WindowsPrinter(
                           printer.driver, printer.port, printer.isDefault, printer.state),
                       .writable = true,
                       .accessGroup = {}});
  return devices;
}

std::vector<DiscoveredDevice> DescribeUsbPrinters(const std::vector<UsbPrinter>& printers) {
  std::vector<DiscoveredDevice> devices;
  for (const UsbPrinter& printer : printers)
    devices.push_back({.name = printer.name,
                       .description = discovery_texts::UsbPrinter(
                           printer.name.substr(4), printer.commandSet, printer.port),
                       .writable = true,
                       .accessGroup = {}});
  return devices;
}

std::vector<InstalledPrinter> InstalledPrinters() {
  constexpr DWORD kWhich = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  DWORD needed = 0, count = 0;
  ::EnumPrintersW(kWhich, nullptr, 2, nullptr, 0, &needed, &count);
  if (needed == 0) return {};
  std::vector<BYTE> buffer(needed);
  if (!::EnumPrintersW(kWhich, nullptr, 2, buffer.data(), needed, &needed, &count)) return {};

  std::wstring defaultName(256, L'\0');
  DWORD length = static_cast<DWORD>(defaultName.size());
  if (!::GetDefaultPrinterW(defaultName.data(), &length)) length = 0;
  defaultName.resize(length > 0 ? length - 1 : 0);

  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  const auto text = [](const wchar_t* wide) { return wide ? Utf8FromWide(wide) : std::string(); };
  std::vector<InstalledPrinter> printers;
  for (DWORD i = 0; i < count; ++i) {
    const PRINTER_INFO_2W& p = info[i];
    printers.push_back({.name = text(p.pPrinterName),
                        .driver = text(p.pDriverName),
                        .port = text(p.pPortName),
                        .isDefault = p.pPrinterName && defaultName == p.pPrinterName,
                        .state = failures::SpoolerStateWords(
                            PrinterStopStates(p.Status, p.Attributes))});
  }
  return printers;
}

}  // namespace qrticket
