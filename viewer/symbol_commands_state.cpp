// GS ( k for PDF417, MaxiCode, Aztec Code and DataMatrix: settings, storing and printing.
//
// Ranges are those of the public ESC/POS command references for each function. Out of range,
// we do what those references describe for a command whose parameters are out of range: it is
// not carried out, so the setting in force stays (and the report says so).
#include "symbol_commands_state.h"

namespace qrticket::viewer {
namespace {

constexpr std::uint8_t kStoreM = 0x30;

// Reads parameter i, or -1 when the function is too short to have it.
int Param(const SymbolFunction& f, std::size_t i) {
  return i < f.params.size() ? static_cast<unsigned char>(f.params[i]) : -1;
}

// Takes `value` into `setting` when `inRange`, else reports it ignored.
void Set(int& setting, int value, bool inRange, const SymbolFunction& f, const char* code,
         const char* what, Report& report) {
  if (inRange) {
    setting = value;
  } else {
    report.Add(say::SymbolSettingIgnored(f.offset, code, what, value, setting));
  }
}

// fn 0x50: m = 0x30 then the data.
void Store(const SymbolFunction& f, const char* code, std::optional<Bytes>& data,
           Report& report) {
  if (f.params.empty() || static_cast<unsigned char>(f.params[0]) != kStoreM) {
    report.Add(say::SymbolBadStore(f.offset, code));
    return;
  }
  data = Bytes(f.params.substr(1));
}

// fn 0x51 with nothing stored prints nothing.
bool HaveData(const SymbolFunction& f, const char* code, const std::optional<Bytes>& data,
              Report& report) {
  if (data && !data->empty()) return true;
  report.Add(say::SymbolNoData(f.offset, code));
  return false;
}

std::optional<SymbolToDraw> Drawn(const SymbolFunction& f, const char* kind,
                                  std::optional<ModuleGrid> grid, const std::string& why,
                                  int moduleWidth, int moduleHeight, std::size_t bytes,
                                  Report& report) {
  if (!grid) {
    report.Add(say::SymbolRefused(f.offset, kind, why));
    return std::nullopt;
  }
  return SymbolToDraw{f.offset, kind, std::move(*grid), moduleWidth, moduleHeight, bytes};
}

}  // namespace

bool SymbolCommandState::Handles(std::uint8_t cn) {
  return cn == 0x30 || cn == 0x32 || cn == 0x35 || cn == 0x36;
}

std::optional<SymbolToDraw> SymbolCommandState::Apply(const SymbolFunction& f,
                                                      Report& report) {
  switch (f.cn) {
    case 0x30: return Pdf417(f, report);
    case 0x32: return MaxiCode(f, report);
    case 0x35: return Aztec(f, report);
    case 0x36: return DataMatrix(f, report);
  }
  return std::nullopt;
}

std::optional<SymbolToDraw> SymbolCommandState::Pdf417(const SymbolFunction& f,
                                                       Report& report) {
  constexpr const char* kCode = "PDF417";
  const int n = Param(f, 0);
  switch (f.fn) {
    case 0x41: Set(pdf417_.columns, n, n >= 0 && n <= 30, f, kCode, "colunas", report); break;
    case 0x42:
      Set(pdf417_.rows, n, n == 0 || (n >= 3 && n <= 90), f, kCode, "linhas", report);
      break;
    case 0x43: Set(pdf417_.moduleWidth, n, n >= 2 && n <= 8, f, kCode, "largura do módulo", report); break;
    case 0x44: Set(pdf417_.rowHeight, n, n >= 2 && n <= 8, f, kCode, "altura da linha", report); break;
    case 0x45: {  // m = 0x30: level n 0x30..0x38; m = 0x31: ratio n 1..40
      const int level = Param(f, 1);
      if (n == 0x30 && level >= 0x30 && level <= 0x38) {
        pdf417_.levelByRatio = false;
        pdf417_.level = level - 0x30;
      } else if (n == 0x31 && level >= 1 && level <= 40) {
        pdf417_.levelByRatio = true;
        pdf417_.level = level;
      } else {
        report.Add(say::SymbolSettingIgnored(f.offset, kCode, "nível de correção", level,
                                             pdf417_.level));
      }
      break;
    }
    case 0x46: {
      int truncated = pdf417_.truncated ? 1 : 0;
      Set(truncated, n, n == 0 || n == 1, f, kCode, "opção (0 normal, 1 truncado)", report);
      pdf417_.truncated = truncated == 1;
      break;
    }
    case 0x50: Store(f, kCode, pdf417Data_, report); break;
    case 0x51: {
      if (!HaveData(f, kCode, pdf417Data_, report)) break;
      std::string why;
      auto grid = EncodePdf417(*pdf417Data_, pdf417_, why);
      return Drawn(f, kCode, std::move(grid), why, pdf417_.moduleWidth,
                   pdf417_.moduleWidth * pdf417_.rowHeight, pdf417Data_->size(), report);
    }
    default: report.Add(say::SymbolFunctionIgnored(f.offset, kCode, f.fn)); break;
  }
  return std::nullopt;
}

std::optional<SymbolToDraw> SymbolCommandState::MaxiCode(const SymbolFunction& f,
                                                         Report& report) {
  constexpr const char* kCode = "MaxiCode";
  const int n = Param(f, 0);
  switch (f.fn) {
    case 0x41: {  // mode n 0x32..0x36: modes 2..6
      int mode = maxiMode_ + 0x30;
      Set(mode, n, n >= 0x32 && n <= 0x36, f, kCode, "modo", report);
      maxiMode_ = mode - 0x30;
      break;
    }
    case 0x50: Store(f, kCode, maxiData_, report); break;
    case 0x51: {
      if (!HaveData(f, kCode, maxiData_, report)) break;
      std::string why;
      auto grid = EncodeMaxiCode(*maxiData_, maxiMode_, why);
      auto symbol = Drawn(f, kCode, std::move(grid), why, 1, 1, maxiData_->size(), report);
      if (symbol) symbol->drawing = true;
      return symbol;
    }
    default: report.Add(say::SymbolFunctionIgnored(f.offset, kCode, f.fn)); break;
  }
  return std::nullopt;
}

std::optional<SymbolToDraw> SymbolCommandState::Aztec(const SymbolFunction& f,
                                                      Report& report) {
  constexpr const char* kCode = "Aztec";
  const int n = Param(f, 0);
  switch (f.fn) {
    case 0x32: {  // n1: 0 full range, 1 compact; n2: layers (0 automatic)
      const int layers = Param(f, 1);
      const bool ok = (n == 0 && (layers == 0 || (layers >= 4 && layers <= 32))) ||
                      (n == 1 && layers >= 0 && layers <= 4);
      if (ok) {
        aztec_.compact = n == 1;
        aztec_.layers = layers;
      } else {
        report.Add(say::SymbolSettingIgnored(f.offset, kCode, "camadas", layers, aztec_.layers));
      }
      break;
    }
    case 0x33: Set(aztec_.moduleSize, n, n >= 2 && n <= 16, f, kCode, "tamanho do módulo", report); break;
    case 0x35: Set(aztec_.correction, n, n >= 5 && n <= 95, f, kCode, "correção (%)", report); break;
    case 0x50: Store(f, kCode, aztecData_, report); break;
    case 0x51: {
      if (!HaveData(f, kCode, aztecData_, report)) break;
      std::string why;
      auto grid = EncodeAztec(*aztecData_, aztec_, why);
      return Drawn(f, kCode, std::move(grid), why, aztec_.moduleSize, aztec_.moduleSize,
                   aztecData_->size(), report);
    }
    default: report.Add(say::SymbolFunctionIgnored(f.offset, kCode, f.fn)); break;
  }
  return std::nullopt;
}

std::optional<SymbolToDraw> SymbolCommandState::DataMatrix(const SymbolFunction& f,
                                                           Report& report) {
  constexpr const char* kCode = "DataMatrix";
  const int n = Param(f, 0);
  switch (f.fn) {
    case 0x42: {  // m: 0 square, 1 rectangle; d1 rows, d2 columns (both 0: automatic)
      const int m = n >= 0x30 ? n - 0x30 : n, rows = Param(f, 1), columns = Param(f, 2);
      const bool automatic = rows == 0 && columns == 0;
      const bool ok = (m == 0 || m == 1) && rows >= 0 && columns >= 0 &&
                      (automatic || IsDataMatrixSize(m == 1, rows, columns));
      if (ok) {
        dataMatrix_.rectangle = m == 1;
        dataMatrix_.rows = rows;
        dataMatrix_.columns = columns;
      } else {
        report.Add(say::SymbolSettingIgnored(f.offset, kCode, "tamanho", rows, dataMatrix_.rows));
      }
      break;
    }
    case 0x43: Set(dataMatrix_.moduleSize, n, n >= 2 && n <= 16, f, kCode, "tamanho do módulo", report); break;
    case 0x50: Store(f, kCode, dataMatrixData_, report); break;
    case 0x51: {
      if (!HaveData(f, kCode, dataMatrixData_, report)) break;
      std::string why;
      auto grid = EncodeDataMatrix(*dataMatrixData_, dataMatrix_, why);
      return Drawn(f, kCode, std::move(grid), why, dataMatrix_.moduleSize,
                   dataMatrix_.moduleSize, dataMatrixData_->size(), report);
    }
    default: report.Add(say::SymbolFunctionIgnored(f.offset, kCode, f.fn)); break;
  }
  return std::nullopt;
}

}  // namespace qrticket::viewer
