// Module1's start procedure (see module1.h).
#include "module1.h"

#include <memory>

#include "form1.h"

namespace qrticket::ui {

Form1* StartProcedure(const StartOptions& options) {
  {
    // No owner window; exec() returns when the timer hides the splash.
    auto splash = std::make_unique<FrmSplash>(options.splashInterval);
    splash->exec();
  }  // unloaded: the splash and its timer are gone before the main window exists

  auto* form = new Form1;
  form->setAttribute(Qt::WA_DeleteOnClose);
  form->SetPreviewHook(options.previewHook);
  form->show();
  return form;
}

}  // namespace qrticket::ui
