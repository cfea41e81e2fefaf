// The failure descriptions of printer ports, device nodes and serial lines, in Portuguese
// (see device_failures.h).
#include "devices/device_failures.h"

#include <string>

namespace qrticket::failures {

PrintFailure BadPortName(std::string_view port) {
  return {FailureCode::BadFileName,
          Quoted(port) + " não é uma porta: as portas série vão de COM1: a COM256: e as "
                         "paralelas de LPT1: a LPT3:"};
}

PrintFailure PortMissing(std::string_view port, std::string_view path) {
  return {FailureCode::NotFound,
          "A porta " + Quoted(port) + " (" + std::string(path) + ") não existe"};
}

PrintFailure PortWithoutHardware(std::string_view port, std::string_view path) {
  return {FailureCode::NotFound, "A porta " + Quoted(port) + " (" + std::string(path) +
                                     ") não existe: não há hardware por trás de " +
                                     std::string(path)};
}

PrintFailure AccessRefusedJoinGroup(std::string_view device, std::string_view path,
                                    std::string_view group) {
  std::string where = Quoted(device);
  if (device != path) where += " (" + std::string(path) + ")";
  const std::string g(group);
  return {FailureCode::AccessRefused,
          "Sem permissão para escrever em " + where + ": só o grupo " + g +
              " tem acesso. Junte o utilizador ao grupo (sudo usermod -aG " + g +
              " $USER) e volte a entrar na sessão"};
}

// --- Serial settings ---------------------------------------------------------------------

std::string SerialFieldText(SerialField field, std::string_view value) {
  const std::string v(value);
  switch (field) {
    case SerialField::Speed:
      return v.empty() ? "falta a velocidade" : "velocidade inválida: " + v;
    case SerialField::Parity:
      return "paridade inválida: " + v + " (n, e, o, m ou s)";
    case SerialField::DataBits:
      return "bits de dados inválidos: " + v + " (5 a 8)";
    case SerialField::StopBits:
      return "bits de paragem inválidos: " + v + " (1, 1.5 ou 2)";
    case SerialField::Flow:
      return "controlo de fluxo inválido: " + v + " (n, x, r, d ou p)";
    case SerialField::Extra:
      return "definições a mais: " + (v.empty() ? std::string("uma vírgula no fim") : v);
  }
  return "definições inválidas: " + v;
}

std::string SettingsNeedSerialPort(std::string_view port) {
  return std::string(port) + " não é uma porta série: as definições só se aplicam a portas série";
}

PrintFailure SpeedNotTaken(std::string_view device, std::uint32_t asked, std::uint32_t set) {
  return {FailureCode::DeviceUnavailable,
          "A porta " + Quoted(device) + " não aceita a velocidade " + std::to_string(asked) +
              ": o controlador ficou a " + std::to_string(set) + "; nada foi enviado"};
}

PrintFailure SettingNotTaken(std::string_view device, std::string_view setting) {
  return {FailureCode::DeviceUnavailable, "A porta " + Quoted(device) + " não aceita " +
                                              std::string(setting) + "; nada foi enviado"};
}

PrintFailure NoDsrLine(std::string_view device) {
  return {FailureCode::DeviceUnavailable,
          "A porta " + Quoted(device) +
              " não indica o sinal DSR: o controlo de fluxo d (DTR/DSR) não é possível nela"};
}

PrintFailure NotASerialLine(std::string_view device) {
  return {FailureCode::BadFileName, SettingsNeedSerialPort(Quoted(device))};
}

}  // namespace qrticket::failures
