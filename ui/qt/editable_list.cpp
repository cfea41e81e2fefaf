// Drop-down lists that also accept typed text (see editable_list.h).
#include "editable_list.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace qrticket::ui {
namespace {

// QComboBox chooses the entry that matches the typed text when Enter is pressed; an entry is
// chosen from the list only, so typed text keeps the position at -1.
class SwallowEnter final : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

void MakeEditableList(QComboBox& list) {
  list.setEditable(true);
  list.setInsertPolicy(QComboBox::NoInsert);
  list.setCompleter(nullptr);
  QLineEdit* edit = list.lineEdit();
  edit->installEventFilter(new SwallowEnter(edit));
  // textEdited fires for the operator's typing only, not when the program sets the text.
  QObject::connect(edit, &QLineEdit::textEdited, &list, [&list, edit](const QString& typed) {
    if (list.currentIndex() == -1) return;
    const int cursor = edit->cursorPosition();
    list.setCurrentIndex(-1);  // this also empties the text, so put the typed text back
    list.setEditText(typed);
    edit->setCursorPosition(cursor);
  });
}

}  // namespace qrticket::ui
