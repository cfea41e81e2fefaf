// qrticket-gui's start as the benchmark sees it: the real start procedure, timed from outside
// by bench/startup.sh. Prints when the splash is first on screen and the resident memory once
// the main window is. Argument: splash interval in ms (the program ships 3000; shorter keeps
// the benchmark quick and changes neither number).
#include <QApplication>
#include <chrono>
#include <csignal>
#include <cstdlib>

#include "module1.h"
#include "qt_translations.h"
#include "startup_probe.h"

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  qrticket::ui::StartOptions options;
  if (argc > 1) options.splashInterval = std::chrono::milliseconds(std::atoi(argv[1]));
  QApplication app(argc, argv);
  qrticket::ui::InstallQtTranslations(app, qrticket::ui::QtTranslationsFolder());  // as main does
  qrticket::bench::PaintProbe probe(QStringLiteral("frmSplash"), QStringLiteral("Form1"));
  app.installEventFilter(&probe);
  qrticket::ui::StartProcedure(options);
  return QApplication::exec();
}
