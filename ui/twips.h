// Window layouts are given in twips; Qt places widgets in logical pixels.
#pragma once

#include <QRect>
#include <QSize>

namespace qrticket::ui {

// 15 twips make one pixel at 96 dpi. Qt's high-DPI scaling maps logical pixels to device
// pixels, so these stay right on a display scaled to 125 % or 200 %.
inline constexpr int kTwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

constexpr QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
               TwipsToPixels(height));
}

constexpr QSize TwipsSize(int width, int height) {
  return QSize(TwipsToPixels(width), TwipsToPixels(height));
}

}  // namespace qrticket::ui
