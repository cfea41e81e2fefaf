// Module1, the start procedure: the splash for three seconds, then the main window.
#pragma once

#include <chrono>

#include "frm_splash.h"
#include "preview_hook.h"

namespace qrticket::ui {

class Form1;

struct StartOptions {
  std::chrono::milliseconds splashInterval = kSplashInterval;  // shorter in tests only
  PreviewHook previewHook;  // what "VISUALIZAR:" opens; none yet, so it is a plain file name
};

// Shows frmSplash modally until its timer hides it, destroys it, then creates Form1 and shows
// it modelessly. Returns the main window, which deletes itself when closed; the program ends
// then, as it is the last window. Needs a QApplication.
Form1* StartProcedure(const StartOptions& options = {});

}  // namespace qrticket::ui
