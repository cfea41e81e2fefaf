// Growing and inking the paper raster.
#include "paper.h"

#include <algorithm>

namespace qrticket::viewer {

// The whole raster is reserved at once: growing never copies it, and the pages not yet drawn
// cost address space only, not memory.
Paper::Paper(int width, int maxHeight, MayGrow mayGrow)
    : width_(std::max(width, 1)), maxHeight_(std::max(maxHeight, 1)), mayGrow_(std::move(mayGrow)) {
  pixels_.reserve(static_cast<std::size_t>(width_) * maxHeight_);
}

void Paper::Extend(int y) {
  if (y > maxHeight_) {
    clipped_ = true;
    y = maxHeight_;
  }
  if (y <= height_) return;
  if (mayGrow_ && !mayGrow_(static_cast<std::uint64_t>(y - height_) * width_)) {
    refusedMemory_ = true;
    maxHeight_ = height_;  // full(): nothing more is drawn
    return;
  }
  pixels_.resize(static_cast<std::size_t>(y) * width_, kWhite);
  height_ = y;
}

void Paper::Fill(int x, int y, int width, int height) {
  Extend(y + height);
  const int left = std::max(x, 0), right = std::min(x + width, width_);
  const int top = std::max(y, 0), bottom = std::min(y + height, height_);
  for (int row = top; row < bottom; ++row) {
    std::uint8_t* line = pixels_.data() + static_cast<std::size_t>(row) * width_;
    std::fill(line + std::min(left, right), line + right, kInk);
  }
}

void Paper::CutLine(int y) {
  for (int x = 0; x < width_; x += 12) Fill(x, y, 6, 2);
}

std::vector<std::uint8_t> Paper::TakePixels() {
  height_ = 0;
  return std::move(pixels_);
}

}  // namespace qrticket::viewer
