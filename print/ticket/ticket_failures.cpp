// The ticket job's and the QR builders' failure descriptions, in Portuguese.
#include "ticket/ticket_failures.h"

#include <string>

#include "devices/device_failures.h"

namespace qrticket::failures {

PrintFailure DataTooLong() {
  return {FailureCode::Overflow,
          "Capacidade excedida: o texto a codificar tem mais de 32764 caracteres"};
}

PrintFailure ModuleSizeOverflow() {
  return {FailureCode::Overflow,
          "Capacidade excedida: o tamanho do módulo está fora do intervalo de -32768 a 32767"};
}

PrintFailure IndexOverflow() {
  return {FailureCode::Overflow,
          "Capacidade excedida: a posição do modelo ou do nível de correção é demasiado grande"};
}

}  // namespace qrticket::failures
