// libqrencode wrapped: encode, copy the modules out, free the library's symbol.
#include "qr_symbol.h"

#include <qrencode.h>

#include <memory>

namespace qrticket::viewer {
namespace {

QRecLevel ToLibrary(QrLevel level) {
  switch (level) {
    case QrLevel::L: return QR_ECLEVEL_L;
    case QrLevel::M: return QR_ECLEVEL_M;
    case QrLevel::Q: return QR_ECLEVEL_Q;
    case QrLevel::H: return QR_ECLEVEL_H;
  }
  return QR_ECLEVEL_L;
}

using SymbolPtr = std::unique_ptr<QRcode, decltype(&QRcode_free)>;

QrSymbol CopyModules(const QRcode& code, bool micro) {
  QrSymbol symbol;
  symbol.micro = micro;
  symbol.version = code.version;
  symbol.modules = code.width;
  symbol.dark.resize(static_cast<std::size_t>(code.width) * code.width);
  for (std::size_t i = 0; i < symbol.dark.size(); ++i) symbol.dark[i] = code.data[i] & 1;
  return symbol;
}

}  // namespace

std::optional<QrSymbol> EncodeQrSymbol(const QrRequest& request) {
  if (request.data.empty()) return std::nullopt;
  const auto* bytes = reinterpret_cast<const unsigned char*>(request.data.data());
  const int size = static_cast<int>(request.data.size());
  if (request.kind == QrKind::Micro) {
    // libqrencode wants a Micro QR version; try them from the smallest, as a printer picks one.
    const int first = request.version == 0 ? 1 : request.version;
    const int last = request.version == 0 ? MQRSPEC_VERSION_MAX : request.version;
    for (int version = first; version <= last && version <= MQRSPEC_VERSION_MAX; ++version) {
      SymbolPtr code(QRcode_encodeDataMQR(size, bytes, version, ToLibrary(request.level)),
                     &QRcode_free);
      if (code) return CopyModules(*code, true);
    }
    return std::nullopt;
  }
  if (request.version < 0 || request.version > QRSPEC_VERSION_MAX) return std::nullopt;
  SymbolPtr code(QRcode_encodeData(size, bytes, request.version, ToLibrary(request.level)),
                 &QRcode_free);
  // libqrencode grows a fixed version that is too small; a printer asked for it draws nothing.
  if (!code || (request.version != 0 && code->version != request.version)) return std::nullopt;
  return CopyModules(*code, false);
}

char LevelLetter(QrLevel level) {
  static constexpr char kLetters[] = {'L', 'M', 'Q', 'H'};
  return kLetters[static_cast<int>(level)];
}

}  // namespace qrticket::viewer
