// Window layouts are given in twips; Qt places widgets in logical pixels.
#pragma once

#include <QRect>
#include <QSize>

#include "form_layout.h"

namespace qrticket::ui {

// Twips at 96 dpi, 15 to a pixel. Qt's high-DPI scaling maps logical pixels to device
// pixels, so these stay right on a display scaled to 125 % or 200 %.
constexpr int TwipsToPixels(int twips) { return TwipsToPixels(twips, 96); }

constexpr QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
               TwipsToPixels(height));
}

constexpr QSize TwipsSize(int width, int height) {
  return QSize(TwipsToPixels(width), TwipsToPixels(height));
}

}  // namespace qrticket::ui
