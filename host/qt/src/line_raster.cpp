// Xiaolin Wu's antialiased lines over the picture's scanlines, after clipping.
#include "line_raster.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace contura::qt {

namespace {

// Lines are clipped to the picture grown by this many pixels, so that the pixels a line
// shares with its neighbour across the picture's edge are still drawn.
constexpr double kClipMarginPixels = 2.0;

// Writes `color` over pixels with a coverage of 0 to 256 times the colour's alpha.
class Plotter {
public:
  Plotter(QImage& image, QRgb color)
      : bits_(image.bits()), stride_(image.bytesPerLine()), width_(image.width()), height_(image.height()),
        redBlue_(color & 0xFF00FFu), green_(color & 0x00FF00u), alpha_(qAlpha(color) + (qAlpha(color) >> 7)) {}

  // (x, y) along the picture's axes, or swapped when the line is steep (Steep).
  template <bool Steep>
  void plot(int x, int y, unsigned coverage) const {
    if constexpr (Steep) std::swap(x, y);
    if (static_cast<unsigned>(x) >= static_cast<unsigned>(width_) || static_cast<unsigned>(y) >= static_cast<unsigned>(height_))
      return;
    unsigned a = (coverage * alpha_) >> 8;
    if (a == 0) return;
    QRgb& pixel = reinterpret_cast<QRgb*>(bits_ + static_cast<std::ptrdiff_t>(y) * stride_)[x];
    // Red and blue mixed together in one word, green in another: each product stays in 32 bits.
    unsigned d = pixel;
    unsigned rb = ((redBlue_ * a + (d & 0xFF00FFu) * (256 - a)) >> 8) & 0xFF00FFu;
    unsigned g = ((green_ * a + (d & 0x00FF00u) * (256 - a)) >> 8) & 0x00FF00u;
    pixel = 0xFF000000u | rb | g;
  }
  template <bool Steep>
  void plot(int x, int y, double coverage) const {
    plot<Steep>(x, y, static_cast<unsigned>(coverage * 256.0 + 0.5));
  }

private:
  uchar* bits_;
  qsizetype stride_;
  int width_, height_;
  unsigned redBlue_, green_, alpha_;  // alpha scaled to 0..256
};

// floor() without a library call (the values are small: the line is clipped to the picture).
int floorToInt(double v) {
  int i = static_cast<int>(v);
  return i - (v < i);
}

double fractionalPart(double v) { return v - floorToInt(v); }

enum Outside : unsigned { kLeft = 1, kRight = 2, kAbove = 4, kBelow = 8 };

unsigned outside(QPointF p, QPointF lo, QPointF hi) {
  return (p.x() < lo.x() ? kLeft : p.x() > hi.x() ? kRight : 0u) | (p.y() < lo.y() ? kAbove : p.y() > hi.y() ? kBelow : 0u);
}

// Cohen-Sutherland: trims a->b to [lo, hi] in both axes; false when nothing is left. An end
// outside moves along the line onto the edge it is beyond, its new place computed from its
// own coordinates so that a line from far away still lands where it crosses.
bool clip(QPointF& a, QPointF& b, QPointF lo, QPointF hi) {
  for (int moves = 0; moves < 4; ++moves) {
    unsigned ca = outside(a, lo, hi), cb = outside(b, lo, hi);
    if ((ca | cb) == 0) return true;
    if (ca & cb) return false;
    QPointF& p = ca ? a : b;
    const QPointF q = ca ? b : a;
    unsigned c = ca ? ca : cb;
    if (c & (kLeft | kRight)) {
      double x = c & kLeft ? lo.x() : hi.x();
      p = QPointF(x, p.y() + (x - p.x()) * ((q.y() - p.y()) / (q.x() - p.x())));
    } else {
      double y = c & kAbove ? lo.y() : hi.y();
      p = QPointF(p.x() + (y - p.y()) * ((q.x() - p.x()) / (q.y() - p.y())), y);
    }
  }
  return outside(a, lo, hi) == 0 && outside(b, lo, hi) == 0;
}

// Fixed-point positions across the line: 16 bits of fraction.
constexpr int kFractionBits = 16;

// The line between pixel centres (x0, y0) and (x1, y1), x along the longer axis (the picture's
// y when Steep), x0 <= x1.
template <bool Steep>
void wuLine(const Plotter& plotter, double x0, double y0, double x1, double y1) {
  const double dx = x1 - x0;
  const double gradient = dx == 0.0 ? 1.0 : (y1 - y0) / dx;

  // The first end: the pixel column nearest to it, weighted by how much of it the line covers.
  double xEnd = floorToInt(x0 + 0.5);
  double yEnd = y0 + gradient * (xEnd - x0);
  double gap = 1.0 - fractionalPart(x0 + 0.5);
  const int xFirst = static_cast<int>(xEnd);
  int yPixel = floorToInt(yEnd);
  plotter.plot<Steep>(xFirst, yPixel, (1.0 - fractionalPart(yEnd)) * gap);
  plotter.plot<Steep>(xFirst, yPixel + 1, fractionalPart(yEnd) * gap);
  double across = yEnd + gradient;

  // The last end.
  xEnd = floorToInt(x1 + 0.5);
  yEnd = y1 + gradient * (xEnd - x1);
  gap = fractionalPart(x1 + 0.5);
  const int xLast = static_cast<int>(xEnd);
  if (xLast != xFirst) {
    yPixel = floorToInt(yEnd);
    plotter.plot<Steep>(xLast, yPixel, (1.0 - fractionalPart(yEnd)) * gap);
    plotter.plot<Steep>(xLast, yPixel + 1, fractionalPart(yEnd) * gap);
  }

  // The steps between: the two pixels across the line share the step by distance.
  std::int64_t y = floorToInt(across * (1 << kFractionBits) + 0.5);
  const std::int64_t step = floorToInt(gradient * (1 << kFractionBits) + 0.5);
  for (int x = xFirst + 1; x < xLast; ++x, y += step) {
    int row = static_cast<int>(y >> kFractionBits);
    unsigned below = static_cast<unsigned>((y >> (kFractionBits - 8)) & 0xFF);
    plotter.plot<Steep>(x, row, 256u - below);
    plotter.plot<Steep>(x, row + 1, below);
  }
}

void wuLine(const Plotter& plotter, double x0, double y0, double x1, double y1) {
  const bool steep = std::abs(y1 - y0) > std::abs(x1 - x0);
  if (steep) {
    std::swap(x0, y0);
    std::swap(x1, y1);
  }
  if (x0 > x1) {
    std::swap(x0, x1);
    std::swap(y0, y1);
  }
  if (steep) wuLine<true>(plotter, x0, y0, x1, y1);
  else wuLine<false>(plotter, x0, y0, x1, y1);
}

void drawClipped(const Plotter& plotter, QPointF a, QPointF b, QPointF lo, QPointF hi) {
  if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) || !std::isfinite(b.y())) return;
  if (!clip(a, b, lo, hi)) return;
  // Pixel centres are at whole numbers for the rule.
  wuLine(plotter, a.x() - 0.5, a.y() - 0.5, b.x() - 0.5, b.y() - 0.5);
}

QPointF clipLow() { return QPointF(-kClipMarginPixels, -kClipMarginPixels); }
QPointF clipHigh(const QImage& image) {
  return QPointF(image.width() + kClipMarginPixels, image.height() + kClipMarginPixels);
}

}  // namespace

void drawLine(QImage& image, QPointF a, QPointF b, QRgb color) {
  drawClipped(Plotter(image, color), a, b, clipLow(), clipHigh(image));
}

void LineStrips::draw(QImage& image, QRgb color) const {
  Plotter plotter(image, color);
  const QPointF lo = clipLow(), hi = clipHigh(image);
  for (std::size_t s = 0; s < ends_.size(); ++s) {
    std::size_t first = ends_[s], last = s + 1 < ends_.size() ? ends_[s + 1] : points_.size();
    if (last - first == 1) {
      drawClipped(plotter, points_[first], points_[first] + QPointF(0.5, 0.0), lo, hi);  // a dot
      continue;
    }
    for (std::size_t i = first + 1; i < last; ++i) drawClipped(plotter, points_[i - 1], points_[i], lo, hi);
  }
}

}  // namespace contura::qt
