// The window's own antialiased lines against the paint engine's cosmetic antialiased pen:
// the same pixels inked (within the antialiasing fringe), about the same ink, no gap along
// the line, colours blended as the engine blends them, and nothing outside the picture.
#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "line_raster.h"

namespace {

constexpr QRgb kBackground = 0xFF202830;
constexpr QRgb kInk = 0xFFFFD000;

QImage blank() {
  QImage image(64, 48, QImage::Format_RGB32);
  image.fill(kBackground);
  return image;
}

// How much of the ink colour a pixel holds, 0 to 1, judged by its green channel (the one that
// differs most between ink and background).
double inkOf(QRgb pixel) {
  return double(qGreen(pixel) - qGreen(kBackground)) / double(qGreen(kInk) - qGreen(kBackground));
}

double totalInk(const QImage& image) {
  double sum = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) sum += inkOf(image.pixel(x, y));
  return sum;
}

// Distance of the pixel centre (x, y) from the segment a-b.
double distanceToSegment(QPointF a, QPointF b, double x, double y) {
  QPointF p(x + 0.5, y + 0.5), d = b - a;
  double length2 = QPointF::dotProduct(d, d);
  double t = length2 == 0 ? 0 : std::clamp(QPointF::dotProduct(p - a, d) / length2, 0.0, 1.0);
  QPointF q = a + d * t - p;
  return std::hypot(q.x(), q.y());
}

}  // namespace

TEST(LineRaster, InksWhatThePaintEnginesAntialiasedPenInks) {
  const struct {
    QPointF a, b;
  } lines[] = {
      {{5.5, 10.5}, {50.5, 10.5}},   // along a row of pixel centres
      {{5.0, 10.0}, {50.0, 10.0}},   // between two rows
      {{20.5, 3.5}, {20.5, 40.5}},   // along a column
      {{3.2, 4.7}, {58.9, 41.3}},    // shallow
      {{10.3, 2.1}, {17.8, 45.6}},   // steep
      {{40.7, 44.2}, {8.1, 6.6}},    // right to left, upwards
      {{30.25, 20.75}, {31.0, 21.1}},  // shorter than a pixel
  };
  for (const auto& line : lines) {
    QImage ours = blank();
    contura::qt::drawLine(ours, line.a, line.b, kInk);
    QImage engine = blank();
    {
      QPainter painter(&engine);
      painter.setRenderHint(QPainter::Antialiasing, true);
      QPen pen(QColor::fromRgba(kInk), 0.0);
      pen.setCosmetic(true);
      painter.setPen(pen);
      painter.drawLine(line.a, line.b);
    }
    double length = std::hypot(line.b.x() - line.a.x(), line.b.y() - line.a.y());
    double ink = totalInk(ours), reference = totalInk(engine);
    // About one pixel of ink per pixel of length along the longer axis, as the engine gives.
    EXPECT_NEAR(ink, reference, 0.15 * reference + 1.0) << line.a.x() << "," << line.a.y();
    for (int y = 0; y < ours.height(); ++y)
      for (int x = 0; x < ours.width(); ++x) {
        if (ours.pixel(x, y) == kBackground) continue;
        EXPECT_LT(distanceToSegment(line.a, line.b, x, y), 1.5) << x << "," << y;
      }
    // No gap: every pixel column (row, when steep) strictly inside the line holds most of a
    // pixel of ink.
    bool steep = std::abs(line.b.y() - line.a.y()) > std::abs(line.b.x() - line.a.x());
    if (length < 3) continue;
    double from = steep ? std::min(line.a.y(), line.b.y()) : std::min(line.a.x(), line.b.x());
    double to = steep ? std::max(line.a.y(), line.b.y()) : std::max(line.a.x(), line.b.x());
    for (int i = int(std::ceil(from)) + 1; i < int(std::floor(to)) - 1; ++i) {
      double across = 0;
      for (int j = 0; j < (steep ? ours.width() : ours.height()); ++j)
        across += inkOf(steep ? ours.pixel(j, i) : ours.pixel(i, j));
      EXPECT_NEAR(across, 1.0, 0.05) << "at " << i;
    }
  }
}

TEST(LineRaster, BlendsByCoverageAndAlphaAndStaysInsideThePicture) {
  // Full coverage of an opaque colour is that colour; half of a half-transparent one a quarter.
  QImage image = blank();
  contura::qt::drawLine(image, {2.5, 5.5}, {60.5, 5.5}, kInk);
  EXPECT_EQ(image.pixel(30, 5), kInk);
  contura::qt::drawLine(image, {2.5, 20.0}, {60.5, 20.0}, qRgba(255, 208, 0, 128));
  EXPECT_NEAR(inkOf(image.pixel(30, 19)), 0.25, 0.02);
  EXPECT_NEAR(inkOf(image.pixel(30, 20)), 0.25, 0.02);

  // Lines far outside, through the picture from huge coordinates, and not finite: the
  // crossing one is drawn where it crosses, the others change nothing.
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  QImage clipped = blank();
  contura::qt::drawLine(clipped, {-1e300, 30.5}, {1e300, 30.5}, kInk);
  EXPECT_EQ(clipped.pixel(0, 30), kInk);
  EXPECT_EQ(clipped.pixel(63, 30), kInk);
  QImage untouched = blank();
  contura::qt::drawLine(untouched, {-500, -500}, {-100, 900}, kInk);
  contura::qt::drawLine(untouched, {nan, 3}, {10, 10}, kInk);
  contura::qt::drawLine(untouched, {inf, 3}, {10, 10}, kInk);
  contura::qt::drawLine(untouched, {70.0, 10}, {90, 10}, kInk);
  EXPECT_EQ(untouched, blank());

  // A strip: its points joined in order, a strip of one point a dot.
  contura::qt::LineStrips strips;
  strips.moveTo({10.5, 10.5});
  strips.lineTo({30.5, 10.5});
  strips.lineTo({30.5, 30.5});
  strips.moveTo({50.5, 40.5});
  QImage drawn = blank();
  strips.draw(drawn, kInk);
  EXPECT_EQ(drawn.pixel(20, 10), kInk);
  EXPECT_EQ(drawn.pixel(30, 20), kInk);
  EXPECT_NE(drawn.pixel(50, 40), kBackground);
  EXPECT_EQ(drawn.pixel(20, 20), kBackground);
}
