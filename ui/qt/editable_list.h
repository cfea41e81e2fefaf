// Drop-down lists that also accept typed text.
#pragma once

class QComboBox;

namespace qrticket::ui {

// Makes `list` editable the way the window needs: typed text is kept as typed (no completion,
// never added to the list), and typing leaves no entry selected (position -1) while the typed
// text stays. Choosing an entry selects it again.
void MakeEditableList(QComboBox& list);

}  // namespace qrticket::ui
