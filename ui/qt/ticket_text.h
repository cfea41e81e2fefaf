// The text of Qt's text boxes as the window's behaviour takes it.
#pragma once

#include <QString>
#include <QTextDocument>

namespace qrticket::ui {

// The text of a text box's document exactly as typed, lines broken with LF.
// QTextDocument::toPlainText() would turn no-break spaces into spaces, and 0xA0 is a byte of
// its own on the ticket.
QString TextAsTyped(const QTextDocument& document);

}  // namespace qrticket::ui
