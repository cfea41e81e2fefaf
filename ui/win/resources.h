// The resources of qrticket-gui.exe (qrticket-gui.rc.in).
#pragma once

#define IDI_QRTICKET 1      // the window icon, 16 x 16 and 32 x 32; the first, so Explorer shows it
#define IDB_LOGO_52 101     // Form1's logo
#define IDB_LOGO_206 102    // the splash's logo, 206 x 208
