// From the window's Unicode text to what the ticket job takes (see ticket_text.h).
#include "ticket_text.h"

#include <string_view>

#include "devices/text_encoding.h"

namespace qrticket::ui {

QString TextAsTyped(const QTextDocument& document) {
  QString text = document.toRawText();
  // Raw text separates paragraphs and lines with these; the ticket has LF (then CR LF).
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  text.replace(QChar::LineSeparator, QLatin1Char('\n'));
  return text;
}

Bytes TicketBytesFromText(const QString& text) {
  QString withCrLf = text;
  withCrLf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  withCrLf.replace(QChar(u'\n'), QStringLiteral("\r\n"));
  return Utf16ToCp1252(
      std::u16string_view(reinterpret_cast<const char16_t*>(withCrLf.utf16()),
                          static_cast<std::size_t>(withCrLf.size())));
}

qsizetype TicketCharacterCount(const QString& text) {
  return static_cast<qsizetype>(TicketBytesFromText(text).size());
}

std::string DeviceNameFromText(const QString& text) { return text.toStdString(); }

bool HasTextBesidesSpaces(const QString& text) {
  for (const QChar c : text) {
    if (c != u' ') return true;
  }
  return false;
}

}  // namespace qrticket::ui
