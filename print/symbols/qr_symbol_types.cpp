#include "symbols/qr_symbol_types.h"

namespace qrticket {

char LevelLetter(QrEcLevel level) {
  static constexpr char kLetters[] = {'L', 'M', 'Q', 'H'};
  return kLetters[static_cast<int>(level)];
}

int MaxVersion(QrModel model) {
  switch (model) {
    case QrModel::Model1: return 14;
    case QrModel::Model2: return 40;
    case QrModel::Micro: return 4;
  }
  return 0;
}

int ModulesAt(QrModel model, int version) {
  return model == QrModel::Micro ? 9 + 2 * version : 17 + 4 * version;
}

double DotsToMillimetres(int dots) { return dots * 25.4 / kPrinterDpi; }

}  // namespace qrticket
