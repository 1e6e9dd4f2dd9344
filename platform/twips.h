// Design sizes are in twips; windows are drawn in pixels at 96 dots per inch.
// Both windows convert with this one rule.
#pragma once

namespace pump {

inline constexpr int kTwipsPerPixel = 15;

struct TwipsRect {
  int left = 0, top = 0, width = 0, height = 0;
};

struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// To the nearest pixel.
constexpr int ToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }
constexpr PixelRect ToPixels(TwipsRect r) {
  return {ToPixels(r.left), ToPixels(r.top), ToPixels(r.width), ToPixels(r.height)};
}

}  // namespace pump
