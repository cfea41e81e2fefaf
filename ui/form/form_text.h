// From the window's text (UTF-8, as every view hands it over) to what the ticket job takes.
#pragma once

#include <cstddef>
#include <string_view>

#include "devices/bytes.h"

namespace qrticket::ui {

// The data text as the ticket carries it: every line break, LF (as Qt keeps it) or CR LF (as a
// Windows text box does), becomes CR LF; a lone CR stays as it is. Then Windows-1252, one byte
// per character (a character it lacks becomes '?').
Bytes TicketBytesFromText(std::string_view text);

// The count shown beside the data box: the number of bytes the ticket gets, so a line break
// counts as two.
std::size_t TicketCharacterCount(std::string_view text);

// True when the text holds anything but spaces (tabs and other blanks count as content).
bool HasTextBesidesSpaces(std::string_view text);

// True for "VISUALIZAR:" in any case, with blanks (spaces, tabs, line breaks) around it or not.
bool IsPreviewDeviceName(std::string_view text);

}  // namespace qrticket::ui
