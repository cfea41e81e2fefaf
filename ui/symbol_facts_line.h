// The live line under the character count: what the printer will draw for the window's values
// (version, modules, width, whether it fits 80 and 58 mm paper, or why there is no symbol, and
// what a phone will read), refreshed on every change of the text, size, model, level and
// woosim box. Also the limits ticket, offered from the print button's context menu.
#pragma once

#include <QString>
#include <functional>

#include "ticket/qr_print_settings.h"
#include "ticket/ticket_job.h"

class QWidget;

namespace qrticket::ui {

class Form1;

// The line's text and its tool tip (every fact) for `settings`.
QString SymbolLineText(const QrPrintSettings& settings);
QString SymbolLineToolTip(const QrPrintSettings& settings);

// Adds the line "lblSimbolo" under Form1's count and the menu "mnuLimites" to its print
// button, and keeps the line up to date. Limits tickets go where a print would; failures to
// `reporter`. `previewEnabled` says whether "VISUALIZAR:" shows the ticket on screen.
void AttachSymbolFacts(Form1& form, FailureReporter& reporter,
                       std::function<bool()> previewEnabled);

// The limits ticket on screen, through the virtual printer, on paper `paperDots` wide.
// Defined only where the virtual printer is built.
void ShowProbePreview(const QrPrintSettings& settings, int paperDots, FailureReporter& reporter,
                      QWidget* parent);

}  // namespace qrticket::ui
