// The company logo and the window icon, from the compiled-in resources (see assets/).
#include "pictures.h"

namespace qrticket::ui {

QPixmap LogoPicture() { return QPixmap(QStringLiteral(":/assets/logo_52.jpg")); }

QPixmap SplashLogoPicture() { return QPixmap(QStringLiteral(":/assets/logo_206x208.jpg")); }

QIcon AppIcon() {
  QIcon icon;
  icon.addFile(QStringLiteral(":/assets/icon_16.png"), QSize(16, 16));
  icon.addFile(QStringLiteral(":/assets/icon_32.png"), QSize(32, 32));
  return icon;
}

}  // namespace qrticket::ui
