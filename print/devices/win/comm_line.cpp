// Serial settings on Windows ports through the DCB.
#include "devices/win/comm_line.h"

#include "devices/device_failures.h"
#include "devices/win/win_errors.h"

namespace qrticket {
namespace {

using Parity = SerialSettings::Parity;
using StopBits = SerialSettings::StopBits;
using Flow = SerialSettings::Flow;

BYTE ParityOf(Parity parity) {
  switch (parity) {
    case Parity::Even: return EVENPARITY;
    case Parity::Odd: return ODDPARITY;
    case Parity::Mark: return MARKPARITY;
    case Parity::Space: return SPACEPARITY;
    case Parity::None: break;
  }
  return NOPARITY;
}

BYTE StopBitsOf(StopBits stop) {
  switch (stop) {
    case StopBits::OnePointFive: return ONE5STOPBITS;
    case StopBits::Two: return TWOSTOPBITS;
    case StopBits::One: break;
  }
  return ONESTOPBIT;
}

}  // namespace

DCB DcbFor(const DCB& own, const SerialSettings& s) {
  DCB dcb = own;
  dcb.DCBlength = sizeof(DCB);
  dcb.BaudRate = s.speed;
  dcb.ByteSize = static_cast<BYTE>(s.dataBits);
  dcb.Parity = ParityOf(s.parity);
  dcb.fParity = s.parity != Parity::None;
  dcb.StopBits = StopBitsOf(s.stopBits);
  dcb.fBinary = TRUE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fAbortOnError = FALSE;
  dcb.fNull = FALSE;
  dcb.fErrorChar = FALSE;
  const bool xon = s.flow == Flow::XonXoff;
  dcb.fOutX = dcb.fInX = xon;
  dcb.fTXContinueOnXoff = TRUE;
  if (xon) {
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
  }
  dcb.fOutxCtsFlow = s.usesRtsCts();
  dcb.fRtsControl = s.usesRtsCts() ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
  dcb.fOutxDsrFlow = s.watchesDsr();
  dcb.fDtrControl = s.watchesDsr() ? DTR_CONTROL_HANDSHAKE : DTR_CONTROL_ENABLE;
  return dcb;
}

CommLine::CommLine(SystemCalls& sys, HANDLE handle, std::string device)
    : sys_(sys), handle_(handle), device_(std::move(device)) {
  own_.DCBlength = sizeof(DCB);
  if (!sys_.GetCommState(handle_, &own_)) throw failures::NotASerialLine(device_);
}

CommLine::~CommLine() { Restore(/*discardQueued=*/true); }

void CommLine::Apply(const SerialSettings& settings) {
  settings_ = settings;
  applied_ = true;  // from here on the port's own settings go back, whatever happens
  DCB dcb = DcbFor(own_, settings);
  try {
    if (!sys_.SetCommState(handle_, &dcb))  // settings the driver does not do
      throw failures::SettingNotTaken(device_, SerialSettingsText(settings));
    DCB taken{};
    taken.DCBlength = sizeof(DCB);
    if (!sys_.GetCommState(handle_, &taken))
      throw FromWindowsError(::GetLastError(), device_, failures::Stage::Open);
    if (!SpeedsMatch(settings.speed, taken.BaudRate))
      throw failures::SpeedNotTaken(device_, settings.speed, taken.BaudRate);
  } catch (const PrintFailure&) {
    Restore(/*discardQueued=*/false);
    throw;
  }
}

void CommLine::Restore(bool discardQueued) noexcept {
  if (!applied_) return;
  applied_ = false;
  if (discardQueued) sys_.PurgeComm(handle_, PURGE_TXABORT | PURGE_TXCLEAR);
  sys_.SetCommState(handle_, &own_);
}

}  // namespace qrticket
