// The code-table ticket, statement by statement, and the job that prints it.
#include "ticket/code_table_ticket.h"

#include <algorithm>

#include "devices/char_from_code.h"
#include "devices/code_table_encoding.h"
#include "ticket/statements_job.h"

namespace qrticket {
namespace {

// "  3 PC860      ": the number right-aligned in three columns, the name in ten.
Bytes Label(const CodeTableInfo& table) {
  Bytes number = std::to_string(table.number);
  Bytes name = table.name;
  return Bytes(3 - std::min<std::size_t>(number.size(), 3), ' ') + number + " " + name +
         Bytes(11 - std::min<std::size_t>(name.size(), 10), ' ');
}

}  // namespace

std::vector<PrintStatement> CodeTableStatements() {
  const Bytes esc = CharFromCode(27);
  std::vector<PrintStatement> ticket;
  // The title is ASCII: it prints the same whatever table the printer is at.
  ticket.push_back({esc + "@" + "Tabela de caracteres"});
  ticket.push_back({"ESC t N, nome e amostra:"});
  for (std::size_t i = 0; i < kCodeTableCount; ++i) {
    const CodeTableInfo& table = kCodeTables[i];
    ticket.push_back({esc + "t" + CharFromCode(table.number),
                      Label(table) + EncodeInCodeTable(kCodeTableSample, table)});
  }
  for (int i = 0; i < 6; ++i) ticket.push_back({CharFromCode(10)});
  ticket.push_back({esc + "@"});  // back at the printer's own table and settings
  return ticket;
}

Bytes CodeTableTicketBytes() {
  Bytes bytes;
  for (const PrintStatement& statement : CodeTableStatements()) AppendStatement(statement, bytes);
  return bytes;
}

void PrintCodeTables(const std::string& deviceName, FailureReporter& reporter,
                     const ChannelOptions& options, SystemCalls& sys) {
  PrintStatements(deviceName, CodeTableStatements, reporter, options, sys);
}

}  // namespace qrticket
