// Serial settings on Windows ports through the DCB.
#include "devices/win/comm_line.h"

#include "devices/device_failures.h"
#include "devices/win/changed_lines.h"
#include "devices/win/wide_text.h"
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

SerialSettings SettingsOf(const DCB& dcb) {
  SerialSettings s;
  s.speed = dcb.BaudRate;
  s.dataBits = dcb.ByteSize;
  switch (dcb.Parity) {
    case EVENPARITY: s.parity = Parity::Even; break;
    case ODDPARITY: s.parity = Parity::Odd; break;
    case MARKPARITY: s.parity = Parity::Mark; break;
    case SPACEPARITY: s.parity = Parity::Space; break;
    default: break;
  }
  if (dcb.StopBits == ONE5STOPBITS) s.stopBits = StopBits::OnePointFive;
  if (dcb.StopBits == TWOSTOPBITS) s.stopBits = StopBits::Two;
  if (dcb.fOutxCtsFlow && dcb.fOutxDsrFlow) s.flow = Flow::Hardware;
  else if (dcb.fOutxCtsFlow) s.flow = Flow::RtsCts;
  else if (dcb.fOutxDsrFlow) s.flow = Flow::DtrDsr;
  else if (dcb.fOutX || dcb.fInX) s.flow = Flow::XonXoff;
  return s;
}

std::optional<SerialSettings> CurrentCommSettings(const std::string& path) {
  const std::optional<std::wstring> wide = WideFromUtf8(path);
  if (!wide) return std::nullopt;
  const HANDLE handle = ::CreateFileW(wide->c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  DCB dcb{};
  dcb.DCBlength = sizeof(DCB);
  const bool read = ::GetCommState(handle, &dcb) != FALSE;
  ::CloseHandle(handle);
  if (!read) return std::nullopt;
  return SettingsOf(dcb);
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
  RememberChangedLine(handle_, own_);  // even if the process is ended at once
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
  ForgetChangedLine(handle_);
}

}  // namespace qrticket
