// libqrencode wrapped: encode, copy the modules out, free the library's symbol.
#include "symbols/qr_encoder.h"

#include <qrencode.h>

#include <memory>

namespace qrticket {
namespace {

QRecLevel ToLibrary(QrEcLevel level) {
  switch (level) {
    case QrEcLevel::L: return QR_ECLEVEL_L;
    case QrEcLevel::M: return QR_ECLEVEL_M;
    case QrEcLevel::Q: return QR_ECLEVEL_Q;
    case QrEcLevel::H: return QR_ECLEVEL_H;
  }
  return QR_ECLEVEL_L;
}

using CodePtr = std::unique_ptr<QRcode, decltype(&QRcode_free)>;

QrGrid CopyModules(const QRcode& code, QrModel model) {
  QrGrid grid;
  grid.model = model;
  grid.version = code.version;
  grid.modules = code.width;
  grid.dark.resize(static_cast<std::size_t>(code.width) * code.width);
  // libqrencode keeps flags in the upper bits; bit 0 is the colour.
  for (std::size_t i = 0; i < grid.dark.size(); ++i) grid.dark[i] = code.data[i] & 1;
  return grid;
}

}  // namespace

std::optional<QrGrid> EncodeQr(BytesView data, QrModel model, QrEcLevel level, int version) {
  if (data.empty() || model == QrModel::Model1) return std::nullopt;
  if (version < 0 || version > MaxVersion(model)) return std::nullopt;
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  const int size = static_cast<int>(data.size());
  if (model == QrModel::Micro) {
    if (level == QrEcLevel::H) return std::nullopt;
    // libqrencode wants a Micro QR version; the smallest that holds the data is the one drawn.
    const int first = version == 0 ? 1 : version;
    const int last = version == 0 ? MaxVersion(model) : version;
    for (int v = first; v <= last; ++v) {
      CodePtr code(QRcode_encodeDataMQR(size, bytes, v, ToLibrary(level)), &QRcode_free);
      if (code && code->version == v) return CopyModules(*code, model);
    }
    return std::nullopt;
  }
  CodePtr code(QRcode_encodeData(size, bytes, version, ToLibrary(level)), &QRcode_free);
  // Given a version too small, libqrencode picks a larger one; a printer asked for that
  // version draws nothing.
  if (!code || (version != 0 && code->version != version)) return std::nullopt;
  return CopyModules(*code, model);
}

std::optional<QrGrid> EncodeQrFromVersion(BytesView data, QrEcLevel level, int minimumVersion) {
  if (data.empty() || minimumVersion < 1 || minimumVersion > MaxVersion(QrModel::Model2))
    return std::nullopt;
  // libqrencode takes the version as a lower bound and grows it until the data fits.
  CodePtr code(QRcode_encodeData(static_cast<int>(data.size()),
                                 reinterpret_cast<const unsigned char*>(data.data()),
                                 minimumVersion, ToLibrary(level)),
               &QRcode_free);
  if (!code || code->version < minimumVersion) return std::nullopt;
  return CopyModules(*code, QrModel::Model2);
}

}  // namespace qrticket
