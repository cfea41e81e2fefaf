// Drop-down lists that also accept typed text (see editable_list.h).
#include "editable_list.h"

#include <QComboBox>
#include <QLineEdit>

namespace qrticket::ui {

void MakeEditableList(QComboBox& list) {
  list.setEditable(true);
  list.setInsertPolicy(QComboBox::NoInsert);
  list.setCompleter(nullptr);
  QLineEdit* edit = list.lineEdit();
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
