// Checks QR parameters the way a printer does before it draws anything.
#include "qr_commands_state.h"

#include <string>

namespace qrticket::viewer {
namespace {

constexpr std::uint8_t kStoreM = 0x30;

std::optional<QrEcLevel> StandardLevel(std::uint8_t byte) {
  if (byte < 0x30 || byte > 0x33) return std::nullopt;
  return static_cast<QrEcLevel>(byte - 0x30);
}

std::optional<QrEcLevel> WoosimLevel(std::uint8_t byte) {
  switch (byte) {
    case 'L': case 0: return QrEcLevel::L;
    case 'M': case 1: return QrEcLevel::M;
    case 'Q': case 2: return QrEcLevel::Q;
    case 'H': case 3: return QrEcLevel::H;
    default: return std::nullopt;
  }
}

// Encodes (`version` 0: the smallest that holds the data), or says in `why` why no symbol
// comes out.
std::optional<QrGrid> Encode(BytesView data, QrModel model, QrEcLevel level, int version,
                             std::string& why) {
  if (model == QrModel::Micro && level == QrEcLevel::H) {
    why = say::QrNoMicroLevelH();
    return std::nullopt;
  }
  auto symbol = EncodeQr(data, model, level, version);
  if (!symbol) {
    const char letter = LevelLetter(level);
    why = version != 0 ? say::QrTooMuchDataForVersion(data.size(), version, letter)
                       : say::QrTooMuchData(data.size(),
                                            model == QrModel::Micro ? "Micro QR" : "Modelo 2",
                                            letter);
  }
  return symbol;
}

}  // namespace

// Out-of-range settings: the public ESC/POS command references give fn 0x41 n1 0x31..0x33,
// fn 0x43 n 1..16 and fn 0x45 n 0x30..0x33, and describe a command with a parameter out of its
// range as not carried out, so the model, size or level in force stays for the next symbol.
std::optional<QrToDraw> QrCommandState::Apply(const SymbolFunction& f, Report& report) {
  const BytesView p = f.params;
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(p[i]); };
  switch (f.fn) {
    case 0x41:  // select the model: n1 0x31..0x33, n2 0
      if (p.size() < 2) break;
      if (byte(0) >= 0x31 && byte(0) <= 0x33) {
        model_ = byte(0);
      } else {
        report.Add(say::QrSettingIgnored(f.offset, say::QrBadModel(byte(0)),
                                         say::QrModelName(model_)));
      }
      return std::nullopt;
    case 0x43:  // module size in dots
      if (p.empty()) break;
      if (byte(0) >= kMinModuleSize && byte(0) <= kMaxModuleSize) {
        moduleSize_ = byte(0);
      } else {
        report.Add(say::QrSettingIgnored(
            f.offset, say::QrBadModuleSize(byte(0), kMinModuleSize, kMaxModuleSize),
            std::to_string(moduleSize_) + " pontos"));
      }
      return std::nullopt;
    case 0x45:  // error level 0x30..0x33
      if (p.empty()) break;
      if (StandardLevel(byte(0))) {
        level_ = byte(0);
      } else {
        report.Add(say::QrSettingIgnored(f.offset, say::QrBadLevel(byte(0)),
                                         std::string("nível ") +
                                             LevelLetter(*StandardLevel(level_))));
      }
      return std::nullopt;
    case 0x50:  // store: m 0x30, then the data (pL pH counted cn fn m too)
      if (p.empty() || byte(0) != kStoreM) {
        report.Add(say::QrBadStore(f.offset));
        return std::nullopt;
      }
      data_ = Bytes(p.substr(1));
      return std::nullopt;
    case 0x51:  // print the stored symbol
      return Print(f.offset, report);
    default:
      break;
  }
  report.Add(say::QrUnknownFunction(f.offset, f.fn));
  return std::nullopt;
}

std::optional<QrToDraw> QrCommandState::Print(std::size_t at, Report& report) const {
  if (!data_ || data_->empty()) {
    report.Add(say::QrNoData(at));
    return std::nullopt;
  }
  if (model_ == 0x31) report.Add(say::QrModel1AsModel2(at));
  const QrModel model = model_ == 0x33 ? QrModel::Micro : QrModel::Model2;
  const QrEcLevel level = *StandardLevel(level_);
  std::string why;
  auto symbol = Encode(*data_, model, level, 0, why);
  if (!symbol) {
    report.Add(say::QrRefused(at, "GS ( k", why));
    return std::nullopt;
  }
  return QrToDraw{at, "GS ( k", std::move(*symbol), level, moduleSize_, *data_};
}

std::optional<QrToDraw> PrepareWoosimSymbol(const WoosimQr& c, Report& report) {
  report.Add(say::WoosimParameters(c.offset, c.version, c.level, c.moduleSize));
  // A CR LF inside the data is where the ticket's line ended: what follows it came from the
  // next line because the declared length counts more than the data.
  const auto lineEnd = c.data.rfind("\r\n");
  if (lineEnd != BytesView::npos) {
    const BytesView foreign = c.data.substr(lineEnd);
    report.Add(say::WoosimOverrun(c.offset, c.declaredLength, foreign.size(), foreign));
  }
  if (c.version > 40) {
    report.Add(say::QrRefused(c.offset, "ESC Z", say::WoosimBadVersion(c.version)));
    return std::nullopt;
  }
  if (c.moduleSize < kMinModuleSize || c.moduleSize > kMaxModuleSize) {
    report.Add(say::QrRefused(
        c.offset, "ESC Z",
        say::QrBadModuleSize(c.moduleSize, kMinModuleSize, kMaxModuleSize)));
    return std::nullopt;
  }
  auto level = WoosimLevel(c.level);
  if (!level) {
    report.Add(say::WoosimUnknownLevel(c.offset, c.level));
    level = QrEcLevel::L;
  }
  if (c.data.empty()) {
    report.Add(say::QrNoData(c.offset));
    return std::nullopt;
  }
  std::string why;
  auto symbol = Encode(c.data, QrModel::Model2, *level, c.version, why);
  if (!symbol) {
    report.Add(say::QrRefused(c.offset, "ESC Z", why));
    return std::nullopt;
  }
  return QrToDraw{c.offset, "ESC Z", std::move(*symbol), *level, c.moduleSize, Bytes(c.data)};
}

}  // namespace qrticket::viewer
