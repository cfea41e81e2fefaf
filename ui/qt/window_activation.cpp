// Keeping the main window active (see window_activation.h).
#include "window_activation.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace qrticket::ui {
namespace {

// Watches the whole application for dialogs that close, so dialogs made anywhere (the job's
// message box, the preview, Qt's file dialog) are covered without each one knowing the rule.
class ActivationKeeper final : public QObject {
 public:
  explicit ActivationKeeper(QWidget& window) : QObject(&window), window_(window) {
    qApp->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched == &window_) {
      ActivateLater();
    } else if (event->type() == QEvent::Hide && watched != &window_) {
      auto* dialog = qobject_cast<QDialog*>(watched);
      if (dialog && dialog->isWindow()) ActivateLater();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  // After the event at hand is done: a closing dialog is still the modal one while it hides.
  void ActivateLater() {
    QTimer::singleShot(0, this, [this] {
      QPointer<QWidget> next = QApplication::activeModalWidget();
      if (!next) next = &window_;
      if (next->isVisible() && !next->isMinimized()) Activate(*next);
    });
  }

  QWidget& window_;
};

}  // namespace

void Activate(QWidget& window) {
  window.raise();
  window.activateWindow();
}

void KeepActive(QWidget& window) { new ActivationKeeper(window); }

}  // namespace qrticket::ui
