// The Device Manager's names of serial and parallel ports, through SetupAPI: the ports class,
// each device's "PortName", its friendly name and its bus (Bluetooth links are enumerated by
// BTHENUM). Nothing is opened.
#include <cctype>
#include <cwchar>

// initguid.h first: devguid.h then defines GUID_DEVCLASS_PORTS here instead of naming it.
#include <windows.h>
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>

#include "devices/win/wide_text.h"
#include "discovery/win/windows_listers.h"

namespace qrticket {

namespace {

bool IsBluetooth(HDEVINFO set, SP_DEVINFO_DATA& device) {
  wchar_t enumerator[64] = {};
  if (!::SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_ENUMERATOR_NAME, nullptr,
                                           reinterpret_cast<BYTE*>(enumerator),
                                           sizeof enumerator - sizeof(wchar_t), nullptr))
    return false;
  return _wcsicmp(enumerator, L"BTHENUM") == 0;
}

}  // namespace

std::map<std::string, PortIdentity> PortIdentities() {
  std::map<std::string, PortIdentity> names;
  const HDEVINFO set = ::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
  if (set == INVALID_HANDLE_VALUE) return names;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD index = 0; ::SetupDiEnumDeviceInfo(set, index, &device); ++index) {
    const HKEY key = ::SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) continue;
    wchar_t port[64] = {};
    DWORD size = sizeof port - sizeof(wchar_t), type = 0;
    const LONG read = ::RegQueryValueExW(key, L"PortName", nullptr, &type,
                                         reinterpret_cast<BYTE*>(port), &size);
    ::RegCloseKey(key);
    if (read != ERROR_SUCCESS || type != REG_SZ) continue;
    wchar_t friendly[256] = {};
    if (!::SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_FRIENDLYNAME, nullptr,
                                             reinterpret_cast<BYTE*>(friendly),
                                             sizeof friendly - sizeof(wchar_t), nullptr))
      continue;
    std::string name = Utf8FromWide(port);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!name.empty() && friendly[0] != L'\0')
      names[name] = {Utf8FromWide(friendly), IsBluetooth(set, device)};
  }
  ::SetupDiDestroyDeviceInfoList(set);
  return names;
}

}  // namespace qrticket
