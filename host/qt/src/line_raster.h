// Antialiased one-pixel lines drawn straight into a 32-bit picture: the window's line work
// (the bulk of every frame) without building paths for the paint engine.
//
// Contract:
// - Points are in picture pixels, pixel (i, j) covering [i, i+1) x [j, j+1); a line runs
//   between pixel centres as the paint engine's cosmetic antialiased pen does.
// - Each step along the line's longer axis shares full coverage between the two pixels
//   nearest to it across the line (Xiaolin Wu's rule), blended over what is there with the
//   colour's alpha; the two end pixels take the share of the step they cover.
// - Lines are clipped to the picture first, so any coordinates (far outside, huge, not
//   finite) are safe: what is not finite is passed over.
// - A strip's consecutive points are joined; a strip of one point is a dot.
#pragma once
#include <QImage>
#include <QPointF>
#include <QRgb>

#include <cstdint>
#include <vector>

namespace contura::qt {

// Point strips of one colour, collected while a frame is drawn and drawn together.
class LineStrips {
public:
  void moveTo(QPointF p) {
    ends_.push_back(static_cast<std::uint32_t>(points_.size()));
    points_.push_back(p);
  }
  void lineTo(QPointF p) { points_.push_back(p); }
  std::size_t pointCount() const { return points_.size(); }
  bool empty() const { return points_.empty(); }
  void clear() {
    points_.clear();
    ends_.clear();
  }
  // Draws every strip into `image` (Format_RGB32 or ARGB32) in `color`.
  void draw(QImage& image, QRgb color) const;

private:
  std::vector<QPointF> points_;
  std::vector<std::uint32_t> ends_;  // where each strip starts in points_
};

// Draws the antialiased line from `a` to `b` into `image` (Format_RGB32 or ARGB32).
void drawLine(QImage& image, QPointF a, QPointF b, QRgb color);

}  // namespace contura::qt
