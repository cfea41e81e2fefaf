// The spooler's status bits as SpoolerState words, one table for the printer, one for the job.
#include "devices/win/printer_state.h"

namespace qrticket {
namespace {

using failures::SpoolerState;

// PRINTER_STATUS_SERVER_OFFLINE, which MinGW's winspool.h lacks: a shared printer's server is
// off line.
constexpr DWORD kServerOffline = 0x01000000;

struct StateBit {
  DWORD bit;
  SpoolerState state;
};

constexpr StateBit kPrinterBits[] = {
    {PRINTER_STATUS_PAUSED, SpoolerState::Paused},
    {PRINTER_STATUS_ERROR, SpoolerState::Error},
    {PRINTER_STATUS_PENDING_DELETION, SpoolerState::PendingDeletion},
    {PRINTER_STATUS_PAPER_JAM, SpoolerState::PaperJam},
    {PRINTER_STATUS_PAPER_OUT, SpoolerState::PaperOut},
    {PRINTER_STATUS_PAPER_PROBLEM, SpoolerState::PaperProblem},
    {PRINTER_STATUS_OFFLINE, SpoolerState::Offline},
    {PRINTER_STATUS_USER_INTERVENTION, SpoolerState::UserIntervention},
    {PRINTER_STATUS_DOOR_OPEN, SpoolerState::DoorOpen},
    {PRINTER_STATUS_NOT_AVAILABLE, SpoolerState::NotAvailable},
    {PRINTER_STATUS_OUTPUT_BIN_FULL, SpoolerState::OutputBinFull},
    {PRINTER_STATUS_NO_TONER, SpoolerState::NoToner},
    {kServerOffline, SpoolerState::ServerOffline},
};

constexpr StateBit kJobBits[] = {
    {JOB_STATUS_PAUSED, SpoolerState::JobPaused},
    {JOB_STATUS_ERROR, SpoolerState::Error},
    {JOB_STATUS_OFFLINE, SpoolerState::Offline},
    {JOB_STATUS_PAPEROUT, SpoolerState::PaperOut},
    {JOB_STATUS_USER_INTERVENTION, SpoolerState::UserIntervention},
    {JOB_STATUS_BLOCKED_DEVQ, SpoolerState::JobBlocked},
    {JOB_STATUS_DELETING | JOB_STATUS_DELETED, SpoolerState::JobDeleted},
};

template <std::size_t N>
std::vector<SpoolerState> StatesOf(DWORD status, const StateBit (&table)[N]) {
  std::vector<SpoolerState> states;
  for (const StateBit& entry : table)
    if ((status & entry.bit) != 0) states.push_back(entry.state);
  return states;
}

}  // namespace

std::vector<SpoolerState> PrinterStopStates(DWORD status, DWORD attributes) {
  std::vector<SpoolerState> states = StatesOf(status, kPrinterBits);
  if ((attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE) != 0) states.push_back(SpoolerState::WorkOffline);
  return states;
}

std::vector<SpoolerState> JobTroubleStates(DWORD status) { return StatesOf(status, kJobBits); }

std::optional<std::vector<SpoolerState>> LookAtPrinter(SystemCalls& sys, HANDLE printer) {
  DWORD needed = 0;
  std::vector<BYTE> buffer(4096);
  if (!sys.GetPrinterW(printer, 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed)) {
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) return std::nullopt;
    buffer.resize(needed);
    if (!sys.GetPrinterW(printer, 2, buffer.data(), needed, &needed)) return std::nullopt;
  }
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  return PrinterStopStates(info->Status, info->Attributes);
}

}  // namespace qrticket
