// The yardstick for bench/startup.sh: the smallest Qt Widgets program with one window of the
// splash's size and a label, measured exactly like qrticket-gui.
#include <QApplication>
#include <QLabel>

#include "startup_probe.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  qrticket::bench::PaintProbe probe(QStringLiteral("window"), QStringLiteral("window"));
  app.installEventFilter(&probe);
  QLabel window(QStringLiteral("Olá"));
  window.setObjectName(QStringLiteral("window"));
  window.resize(524, 307);
  window.show();
  return QApplication::exec();
}
