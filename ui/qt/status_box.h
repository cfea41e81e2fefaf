// The "Estado" button's answer on Qt: one box with what the printer said.
#pragma once

#include <QString>

class QWidget;

namespace qrticket::ui {

// One modal box with `message`, an OK button only, no icon, titled with the application's
// title, like the print job's failure box.
void ShowStatusBox(const QString& message, QWidget* parent);

}  // namespace qrticket::ui
