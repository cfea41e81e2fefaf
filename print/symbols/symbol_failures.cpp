// The limits ticket's and the raster symbol's failure descriptions, in Portuguese.
#include "symbols/symbol_failures.h"

#include <string>

#include "devices/device_failures.h"

namespace qrticket::failures {

PrintFailure ProbeRefused(std::string_view why) {
  return {FailureCode::InvalidArgument,
          "O talão de limites não se imprime com estes parâmetros: " + std::string(why)};
}

PrintFailure RasterRefused(std::string_view why) {
  return {FailureCode::InvalidArgument,
          "O código QR não se desenha como imagem com estes parâmetros: " + std::string(why)};
}

}  // namespace qrticket::failures
