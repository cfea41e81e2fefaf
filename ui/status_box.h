// The "Estado" button's answer: what the printer in the device box says of itself, in one box.
#pragma once

#include <QString>

class QWidget;

namespace qrticket::ui {

// Asks the device named `deviceText` (as typed) and returns what to show: the printer's
// status lines, or why it could not be asked. Bounded: a few seconds at most, plus the
// connect time-out for a network printer.
QString StatusMessage(const QString& deviceText);

// One modal box with `message`, an OK button only, no icon, titled with the application's
// title, like the print job's failure box.
void ShowStatusBox(const QString& message, QWidget* parent);

}  // namespace qrticket::ui
