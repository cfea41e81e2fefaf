// Module1, the start procedure on Win32: the splash for three seconds, then the main window,
// until it is closed.
#pragma once

namespace qrticket::ui {

// The whole run of qrticket-gui.exe: shows frmSplash modally until its timer hides it,
// destroys it, then creates Form1, shows it modelessly and serves its events until it is
// closed. Returns the program's exit code.
int StartProcedure();

}  // namespace qrticket::ui
