// The failures of Windows' own printers, with their Portuguese descriptions: network printers
// that give no acknowledgement figures, printers installed in Windows and USB printers
// without a queue.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "devices/failure.h"

namespace qrticket::failures {

// A network printer that neither closed the connection nor could be seen to take the
// bytes (no acknowledgement figures) within the stall time-out.
PrintFailure NetworkDeliveryUnconfirmed(std::string_view device, std::chrono::milliseconds stall);

// Printers installed in Windows ("printer:NAME") and USB printers without a queue ("usb:").
// "printer:" alone, and Windows has no default printer.
PrintFailure NoDefaultPrinter();
// "usb:NAME" names no USB printer that is plugged in now; the description sends the operator
// to where the front end lists the names.
PrintFailure UsbPrinterMissing(std::string_view device);
// Where the operator finds the USB printers' names: the command line's --list-devices (the
// default), or the window's device list. Set once, at start, by the window.
enum class DeviceNamesShownBy { ListDevicesOption, DeviceList };
void SetDeviceNamesShownBy(DeviceNamesShownBy where);

// What Windows' spooler says of an installed printer or of its job, one word each
// (devices/win/printer_state.cpp reads them from the spooler's bits).
enum class SpoolerState {
  Paused, Error, PendingDeletion, PaperJam, PaperOut, PaperProblem, Offline, UserIntervention,
  DoorOpen, NotAvailable, OutputBinFull, NoToner, ServerOffline, WorkOffline,  // the printer
  JobPaused, JobBlocked, JobDeleted,                                            // the job
};
// The states in words, joined by ", " ("em pausa, fora de linha").
std::string SpoolerStateWords(const std::vector<SpoolerState>& states);
// The printer's state forbids printing now; nothing was sent.
PrintFailure SpoolerPrinterNotReady(std::string_view device, const std::vector<SpoolerState>& states);
// EndDocPrinter refused the job (a queue that rejects jobs, a spooler that lost it).
PrintFailure SpoolerRefusedJob(std::string_view device, std::string_view detail);
// The job was deleted, or its driver cannot print it, before it printed.
PrintFailure SpoolerJobStopped(std::string_view device, const std::vector<SpoolerState>& states);
// The job left the queue while the printer was in `states`: it went on without printing.
PrintFailure SpoolerLeftWhileNotReady(std::string_view device,
                                      const std::vector<SpoolerState>& states);
// The job left the queue without any sign that it printed: the spooler cannot tell.
PrintFailure SpoolerDeliveryUnconfirmed(std::string_view device);
// The job showed no change for the stall time-out and was deleted; `states` as last seen.
PrintFailure SpoolerTimedOut(std::string_view device, std::chrono::milliseconds stall,
                             const std::vector<SpoolerState>& states);

}  // namespace qrticket::failures
