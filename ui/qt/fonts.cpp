// The windows' fonts: Liberation Sans in pixel sizes (see fonts.h).
#include "fonts.h"

#include <QStringList>
#include <cmath>

namespace qrticket::ui {

QFont LayoutFont(double points, bool bold) {
  QFont font;
  // Arimo and DejaVu Sans stand in when fonts-liberation is missing.
  font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                    QStringLiteral("DejaVu Sans")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
  font.setBold(bold);
  return font;
}

}  // namespace qrticket::ui
