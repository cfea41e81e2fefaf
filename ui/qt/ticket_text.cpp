// The text of Qt's text boxes (see ticket_text.h).
#include "ticket_text.h"

namespace qrticket::ui {

QString TextAsTyped(const QTextDocument& document) {
  QString text = document.toRawText();
  // Raw text separates paragraphs and lines with these; the ticket has LF (then CR LF).
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  text.replace(QChar::LineSeparator, QLatin1Char('\n'));
  return text;
}

}  // namespace qrticket::ui
