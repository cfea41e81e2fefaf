// The fake receipt printer that the status tests ask, on Linux (tests/status: loopback sockets
// and pseudo-terminals) and under Wine (tests/win: a USB printer's handle): its answers to
// GS I and the lines --status shows for it.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace qrticket::testing {

// GS I n -> the printer's answer: model, type and version IDs, then firmware, maker, model
// and serial number, each as "_" text NUL.
inline const std::map<int, std::string> kFakeIdentityAnswers = {
    {1, "\x20"},
    {2, "\x03"},
    {3, "\x05"},
    {65, std::string("\x5F" "2.01 ESC/POS\0", 14)},
    {66, std::string("\x5F" "ACME\0", 6)},
    {67, std::string("\x5F" "TM-FAKE80\0", 11)},
    {68, std::string("\x5F" "X123456\0", 9)},
};

// The lines that identity makes, in the order --status shows them.
inline const std::vector<std::string> kFakeIdentityLines = {
    "fabricante: ACME",        "modelo: TM-FAKE80",
    "número de série: X123456", "firmware: 2.01 ESC/POS",
    "ID do modelo: 0x20",      "ID do tipo: 0x03 (caracteres de vários bytes, cortador automático)",
    "ID da versão: 0x05",
};

// The identity's lines followed by `state`.
inline std::vector<std::string> IdentityThen(const std::vector<std::string>& state) {
  std::vector<std::string> lines = kFakeIdentityLines;
  lines.insert(lines.end(), state.begin(), state.end());
  return lines;
}

// What --status shows for the printer when it is ready (DLE EOT 1 to 4 all 0x12).
inline const std::vector<std::string> kReadyLines =
    IdentityThen({"em linha", "tampa fechada", "papel presente", "pronta a imprimir"});

}  // namespace qrticket::testing
