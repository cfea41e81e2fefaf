// The paper roll as an 8-bit grey raster (255 white, 0 black) that grows as the printer feeds.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace qrticket::viewer {

class Paper {
 public:
  static constexpr std::uint8_t kWhite = 255;
  static constexpr std::uint8_t kInk = 0;

  // Asked before the raster grows by `bytes`; false: it grows no further.
  using MayGrow = std::function<bool(std::uint64_t bytes)>;

  // `maxHeight` bounds the memory a stream can make us use (feeds of 255 lines add up);
  // `mayGrow`, when set, bounds it below that (the network printer's jobs share one budget).
  Paper(int width, int maxHeight, MayGrow mayGrow = {});

  int width() const { return width_; }
  int height() const { return height_; }
  int maxHeight() const { return maxHeight_; }
  // True once something asked for rows past maxHeight.
  bool clipped() const { return clipped_; }
  // True once mayGrow said no: the paper ends where it was then.
  bool refusedMemory() const { return refusedMemory_; }

  // Makes rows [0, y) exist (white). Past maxHeight it stops there and marks the paper clipped.
  void Extend(int y);
  // Inks a rectangle, clipped to the paper; extends the paper down to its bottom.
  void Fill(int x, int y, int width, int height);
  // Row y's dots, or nullptr when the row does not exist (yet, or past the limit).
  std::uint8_t* Row(int y) {
    return y >= 0 && y < height_ ? pixels_.data() + static_cast<std::size_t>(y) * width_ : nullptr;
  }
  // True once the paper reached its limit: nothing more can be drawn.
  bool full() const { return height_ >= maxHeight_; }

  // A dashed line across the paper at row y: where the cutter cut.
  void CutLine(int y);

  std::vector<std::uint8_t> TakePixels();

 private:
  int width_;
  int maxHeight_;
  int height_ = 0;
  bool clipped_ = false;
  bool refusedMemory_ = false;
  MayGrow mayGrow_;
  std::vector<std::uint8_t> pixels_;
};

}  // namespace qrticket::viewer
