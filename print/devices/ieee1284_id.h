// IEEE 1284 device IDs: what a printer says it is ("MFG:EPSON;MDL:TM-T20II;CMD:ESC/POS;").
#pragma once

#include <string>
#include <string_view>

namespace qrticket {

struct Ieee1284Id {
  std::string make;         // MFG or MANUFACTURER
  std::string model;        // MDL or MODEL
  std::string commandSet;   // CMD or COMMAND SET
  std::string description;  // DES or DESCRIPTION
};

// Reads the fields in any order and any case of the keys, in their short or long form, with
// or without line breaks between them (parallel ports report one field a line). Unknown keys
// and pieces without a colon are skipped; the first value of a field wins.
Ieee1284Id ParseIeee1284Id(std::string_view text);

// "EPSON TM-T20II": the make and the model, the make once when the model already starts with
// it; the description field when neither is there; empty when the ID names nothing.
std::string PrinterName(const Ieee1284Id& id);

}  // namespace qrticket
