// Return and Enter press the focused push button (see enter_presses_button.h).
#include "enter_presses_button.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace qrticket::ui {
namespace {

// Outside a dialog a QPushButton ignores Return and Enter. Watching the application rather
// than each button covers buttons that are created after the rule is set.
class EnterPressesButton final : public QObject {
 public:
  explicit EnterPressesButton(QWidget& window) : QObject(&window), window_(window) {
    qApp->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if (key->modifiers() & ~Qt::KeypadModifier) return false;
    auto* button = qobject_cast<QPushButton*>(watched);
    if (!button || button->window() != &window_ || !button->isEnabled()) return false;
    if (!key->isAutoRepeat()) button->click();
    return true;
  }

 private:
  QWidget& window_;
};

}  // namespace

void PressFocusedButtonOnEnter(QWidget& window) { new EnterPressesButton(window); }

}  // namespace qrticket::ui
