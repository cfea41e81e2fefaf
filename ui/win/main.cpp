// qrticket-gui.exe: the desktop program for Windows.
#include <windows.h>

#include "module1.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return qrticket::ui::StartProcedure(); }
