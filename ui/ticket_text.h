// From the window's Unicode text to what the ticket job takes.
#pragma once

#include <QString>
#include <QTextDocument>
#include <string>

#include "devices/bytes.h"

namespace qrticket::ui {

// The data text as the ticket carries it: Qt keeps a line break as one LF, the ticket as CR LF;
// then Windows-1252, one byte per character (a character it lacks becomes '?').
Bytes TicketBytesFromText(const QString& text);

// The text of a text box's document exactly as typed. QTextDocument::toPlainText() would turn
// no-break spaces into spaces, and 0xA0 is a byte of its own on the ticket.
QString TextAsTyped(const QTextDocument& document);

// The count shown beside the data box: the number of bytes the ticket gets, so a line break
// counts as two.
qsizetype TicketCharacterCount(const QString& text);

// A device or file name for the job: UTF-8, exactly as typed, spaces included.
std::string DeviceNameFromText(const QString& text);

// True when the text holds anything but spaces (tabs and other blanks count as content).
bool HasTextBesidesSpaces(const QString& text);

}  // namespace qrticket::ui
