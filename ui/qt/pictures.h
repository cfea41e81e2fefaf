// The company logo and the window icon, compiled in from assets/.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace qrticket::ui {

QPixmap LogoPicture();        // 52 x 52, the main window's header
QPixmap SplashLogoPicture();  // 206 x 208, the splash
QIcon AppIcon();              // 16 x 16 and 32 x 32

}  // namespace qrticket::ui
