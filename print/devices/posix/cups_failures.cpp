// The failure descriptions of CUPS queues, in Portuguese (see cups_failures.h).
#include "devices/posix/cups_failures.h"

#include <string>

#include "devices/device_failures.h"
#include "devices/text_encoding.h"

namespace qrticket::failures {

namespace {

std::string CupsSays(std::string_view reason) {
  if (reason.empty()) return {};
  return " (CUPS: " + Quoted(ShownControls(reason)) + ")";  // a printer's words, as they came
}

std::string Job(int job) { return "O trabalho " + std::to_string(job); }

}  // namespace

PrintFailure CupsNotInstalled() {
  return {FailureCode::CupsUnavailable, "o suporte de CUPS não está instalado (libcups2)"};
}

PrintFailure CupsUnavailable(std::string_view server) {
  return {FailureCode::CupsUnavailable,
          "Sem ligação ao serviço de impressão CUPS (" + std::string(server) +
              "): o CUPS não está a funcionar ou não aceita ligações"};
}

PrintFailure CupsNotResponding(std::string_view server) {
  return {FailureCode::CupsUnavailable,
          "O serviço de impressão CUPS (" + std::string(server) + ") deixou de responder"};
}

PrintFailure CupsQueueNotFound(std::string_view queue) {
  return {FailureCode::CupsQueueNotFound, "A fila CUPS " + Quoted(queue) + " não existe"};
}

PrintFailure CupsNoDefault() {
  return {FailureCode::CupsQueueNotFound,
          "Não há uma fila CUPS predefinida: indique a fila, cups:NOME"};
}

PrintFailure CupsRefused(std::string_view queue, std::string_view reason) {
  return {FailureCode::CupsRefused,
          "A fila CUPS " + Quoted(queue) + " recusou o trabalho" + CupsSays(reason)};
}

PrintFailure CupsJobHeld(std::string_view queue, int job, std::string_view reason) {
  return {FailureCode::CupsJobStopped, Job(job) + " ficou retido na fila CUPS " + Quoted(queue) +
                                           " e foi cancelado" + CupsSays(reason)};
}

PrintFailure CupsJobCancelled(std::string_view queue, int job, std::string_view reason) {
  return {FailureCode::CupsJobStopped,
          Job(job) + " foi cancelado na fila CUPS " + Quoted(queue) + CupsSays(reason)};
}

PrintFailure CupsJobAborted(std::string_view queue, int job, std::string_view reason) {
  return {FailureCode::CupsJobStopped,
          Job(job) + " foi abortado pela fila CUPS " + Quoted(queue) + CupsSays(reason)};
}

PrintFailure CupsCancelledAfterSending(const PrintFailure& cause) {
  return {cause.code(), cause.description() +
                            "; o CUPS já tinha enviado o talão todo à impressora, que pode já o "
                            "ter impresso"};
}

PrintFailure CupsTimedOut(std::string_view queue, int job, std::chrono::milliseconds stall,
                          bool queueStopped, std::string_view reason) {
  return {FailureCode::TimedOut, "Tempo esgotado: o trabalho " + std::to_string(job) +
                                     " não avançou na fila CUPS " + Quoted(queue) +
                                     " durante " + Seconds(stall) + " e foi cancelado" +
                                     (queueStopped ? "; a fila está parada" : "") +
                                     CupsSays(reason)};
}

}  // namespace qrticket::failures
