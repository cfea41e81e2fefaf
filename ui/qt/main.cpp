// qrticket-gui: the desktop program. Checks for a display, then starts the windows.
#include <QApplication>
#include <iostream>

#include "app_identity.h"
#include "cli_command.h"
#include "display_check.h"
#include "module1.h"
#include "pictures.h"
#include "process_setup.h"
#include "qt_translations.h"
#ifdef QRTICKET_HAVE_VIEWER
#include "ticket_preview.h"
#endif

namespace {

// Exit codes of qrticket-gui.
constexpr int kExitNoDisplay = 3;  // no window system to show the window on; nothing was done

}  // namespace

int main(int argc, char** argv) {
  qrticket::ui::PrepareProcess();
  if (!qrticket::ui::WindowSystemReachable()) {
    const QCoreApplication core(argc, argv);  // finds this program and searches PATH; no display
    std::cerr << qrticket::ui::NoDisplayMessage(
        qrticket::ui::CliCommand(qrticket::ui::CliCommandFactsHere()));
    return kExitNoDisplay;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("qrticket"));
  QGuiApplication::setDesktopFileName(QString::fromLatin1(qrticket::ui::kDesktopFileName));
  QApplication::setWindowIcon(qrticket::ui::AppIcon());
  qrticket::ui::InstallQtTranslations(app, qrticket::ui::QtTranslationsFolder());

  qrticket::ui::StartOptions options;
#ifdef QRTICKET_HAVE_VIEWER
  options.previewHook = qrticket::ui::ShowTicketPreview;
#endif
  qrticket::ui::StartProcedure(options);
  return QApplication::exec();  // ends when Form1, the last window, closes
}
