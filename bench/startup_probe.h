// Shared by the start-up benchmark programs: timestamps of first paints and resident memory,
// printed as "key=value" lines for bench/startup.sh.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace qrticket::bench {

inline long long RealtimeNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

// VmRSS of this process, in KiB.
inline long ResidentKiB() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').front().toLong();
  }
  return -1;
}

// Watches the first paint of two top-level windows by objectName: when `first` has been painted
// it prints first_shown_ns; when `last` has been painted it prints rss_kib and quits.
class PaintProbe final : public QObject {
 public:
  PaintProbe(QString first, QString last) : first_(std::move(first)), last_(std::move(last)) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || !watched->isWidgetType()) return false;
    const QString name = watched->objectName();
    // A zero timer runs once this paint, and the flush to the screen after it, are done.
    if (!firstSeen_ && name == first_) {
      firstSeen_ = true;
      QTimer::singleShot(0, [] { std::printf("first_shown_ns=%lld\n", RealtimeNanoseconds()); });
    }
    if (!lastSeen_ && name == last_) {
      lastSeen_ = true;
      QTimer::singleShot(0, [] {
        std::printf("rss_kib=%ld\n", ResidentKiB());
        std::fflush(stdout);
        QCoreApplication::exit(0);
      });
    }
    return false;
  }

 private:
  QString first_, last_;
  bool firstSeen_ = false, lastSeen_ = false;
};

}  // namespace qrticket::bench
