// The ticket's text re-encoded for the code table the operator chose.
#include "ticket/ticket_code_table.h"

#include "devices/char_from_code.h"
#include "devices/code_table_encoding.h"

namespace qrticket {

void SelectCodeTable(std::vector<PrintStatement>& statements, int table, bool qrBlockIsText) {
  if (const CodeTableInfo* info = FindCodeTable(table)) {
    for (std::size_t i = 0; i < statements.size(); ++i) {
      if (i == 1 && !qrBlockIsText) continue;
      for (PrintItem& item : statements[i]) {
        // Commands are below 0x80, where every table is ASCII: they pass unchanged.
        if (item.isText()) item = PrintItem(Cp1252ToCodeTable(item.text(), *info));
      }
    }
  }
  if (statements.empty() || statements[0].empty()) return;
  // ESC t n after the header's ESC @, which would otherwise put the factory table back. Added
  // after the re-encoding: n itself may be 0x80 or more.
  Bytes header = statements[0][0].text();
  header.insert(2, CharFromCode(27) + "t" + CharFromCode(table));
  statements[0][0] = PrintItem(std::move(header));
}

}  // namespace qrticket
