// qrticket-gui.exe: the desktop program for Windows.
#include <windows.h>

#include "devices/win/printer_failures.h"
#include "module1.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The window's operator picks names from its device list, not from --list-devices.
  qrticket::failures::SetDeviceNamesShownBy(qrticket::failures::DeviceNamesShownBy::DeviceList);
  return qrticket::ui::StartProcedure();
}
