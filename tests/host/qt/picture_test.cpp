// The view library's picture drawn with QPainter: the same ink as the SVG writer's picture
// (rendered by Qt SVG), the screen primitives it is laid out in (arcs on their circles, white
// drawn black, the base point mark, the dashed selection frame), and PNG export.
#include "picture_painter.h"

#include <QDir>
#include <QSvgRenderer>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

// A section text with every kind of curve: lines, an arc, a circle, a thin polyline with a
// bulge and a polyline with widths.
const char* const kShapes =
    "[Line]\nPoint=0,0;400,0\nColor=255,0,0\n\n"
    "[Line]\nPoint=0,0;0,300\nColor=255,255,255\n\n"
    "[Arc]\nCenter=200,150\nRadius=80\nAngle=0,2.5\nColor=0,0,255\n\n"
    "[Circle]\nCenter=320,220\nRadius=40\nColor=0,128,0\n\n"
    "[Polyline]\nPoint=20,250,0.6,0,0;120,250,0,0,0;120,290,0,0,0\nColor=200,0,200\n\n"
    "[Polyline]\nPoint=250,40,0,6,6;380,40,0.4,6,2;380,120,0,0,0\nColor=0,0,0\n";

bool ink(QRgb c) { return qRed(c) < 200 || qGreen(c) < 200 || qBlue(c) < 200; }

// The share of `a`'s ink pixels that have ink in `b` within `reach` pixels.
double coveredShare(const QImage& a, const QImage& b, int reach) {
  long inked = 0, covered = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      if (!ink(a.pixel(x, y))) continue;
      ++inked;
      bool found = false;
      for (int dy = -reach; dy <= reach && !found; ++dy)
        for (int dx = -reach; dx <= reach && !found; ++dx) {
          int xx = x + dx, yy = y + dy;
          found = xx >= 0 && yy >= 0 && xx < b.width() && yy < b.height() && ink(b.pixel(xx, yy));
        }
      covered += found;
    }
  return inked == 0 ? 0.0 : static_cast<double>(covered) / inked;
}

TEST(PicturePainter, InksTheSamePixelsAsTheSvgPicture) {
  vistrel::DisplayList list = vistrel::parseSectionText(kShapes);
  ASSERT_EQ(list.shapes.size(), 6u);
  const int w = 320, h = 240;
  vistrel::Viewport view = vistrel::fitToControl(vistrel::extents(list), w, h);
  vistrel::SvgOptions options;
  options.selectionFrame = true;
  QImage painted = contura::qt::renderPicture(list, view, w, h, options);

  QSvgRenderer svg(QByteArray::fromStdString(vistrel::renderSvg(list, view, w, h, options)));
  ASSERT_TRUE(svg.isValid());
  QImage drawn(w, h, QImage::Format_ARGB32_Premultiplied);
  drawn.fill(Qt::white);
  QPainter painter(&drawn);
  svg.render(&painter);
  painter.end();

  EXPECT_GT(coveredShare(painted, drawn, 1), 0.97);
  EXPECT_GT(coveredShare(drawn, painted, 1), 0.97);
}

// Records what a picture is laid out in.
struct Recorder : vistrel::PictureSink {
  struct Stroke {
    std::vector<vistrel::ScreenPoint> points;
    bool closed;
    vistrel::Rgb color;
    double width;
    bool dashed;
  };
  std::vector<Stroke> strokes;
  std::vector<std::vector<vistrel::ScreenPoint>> fills;
  std::vector<std::pair<vistrel::ScreenPoint, double>> texts;
  void sheet(int, int, vistrel::Rgb) override {}
  void stroke(const std::vector<vistrel::ScreenPoint>& p, bool closed, vistrel::Rgb c, double width, bool dashed) override {
    strokes.push_back({p, closed, c, width, dashed});
  }
  void fill(const std::vector<vistrel::ScreenPoint>& p, vistrel::Rgb) override { fills.push_back(p); }
  void text(vistrel::ScreenPoint at, double height, double, std::string_view, vistrel::Rgb, bool) override {
    texts.push_back({at, height});
  }
};

TEST(PictureLayout, ArcsLieOnTheirCirclesAndMarksHaveFixedSizes) {
  vistrel::DisplayList list = vistrel::parseSectionText(kShapes);
  list.hasBasePoint = true;
  list.basePoint = {100, 100};
  vistrel::Viewport view = vistrel::fitToControl(vistrel::extents(list), 320, 240);
  vistrel::SvgOptions options;
  options.showBasePoint = true;
  options.selectionFrame = true;
  Recorder r;
  vistrel::paintPicture(list, view, 320, 240, options, r);

  // Line, white line (drawn black), arc, circle, thin polyline; then the mark's ring and two
  // arms, then the frame. The wide polyline gives filled bands.
  ASSERT_EQ(r.strokes.size(), 5u + 3u + 1u);
  EXPECT_EQ(r.strokes[0].color, (vistrel::Rgb{255, 0, 0}));
  EXPECT_EQ(r.strokes[1].color, (vistrel::Rgb{0, 0, 0}));
  const auto& arc = r.strokes[2];
  double cx = view.toScreenX(200), cy = view.toScreenY(150), radius = 80 * view.scale;
  for (const auto& p : arc.points) EXPECT_NEAR(std::hypot(p.x - cx, p.y - cy), radius, 1e-9);
  // From angle 0 counter-clockwise to 2.5 rad: starts right of the centre, ends up and left
  // (screen y grows downwards).
  EXPECT_NEAR(arc.points.front().x, cx + radius, 1e-9);
  EXPECT_LT(arc.points.back().x, cx);
  EXPECT_LT(arc.points.back().y, cy);
  // Pieces short enough that the middle of each stays within the tolerance of the circle.
  for (size_t i = 0; i + 1 < arc.points.size(); ++i) {
    double mx = (arc.points[i].x + arc.points[i + 1].x) / 2, my = (arc.points[i].y + arc.points[i + 1].y) / 2;
    EXPECT_LE(radius - std::hypot(mx - cx, my - cy), vistrel::kPictureArcTolerancePixels + 1e-9);
  }
  EXPECT_TRUE(r.strokes[3].closed);  // the circle
  EXPECT_EQ(r.fills.size(), 2u);     // a band per segment of the wide polyline

  const auto& ring = r.strokes[5];
  double bx = view.toScreenX(100), by = view.toScreenY(100);
  EXPECT_EQ(ring.color, (vistrel::Rgb{255, 0, 0}));
  for (const auto& p : ring.points) EXPECT_NEAR(std::hypot(p.x - bx, p.y - by), vistrel::kPictureBaseMarkRadiusPixels, 1e-9);
  EXPECT_NEAR(r.strokes[6].points[1].x - r.strokes[6].points[0].x, 2 * vistrel::kPictureBaseMarkArmPixels, 1e-9);
  const auto& frame = r.strokes.back();
  EXPECT_TRUE(frame.dashed);
  EXPECT_TRUE(frame.closed);
  EXPECT_EQ(frame.color, (vistrel::Rgb{0, 0x78, 0xd7}));
}

TEST(PicturePainter, WritesPngFilesAndSaysWhenItCannot) {
  vistrel::DisplayList list = vistrel::parseSectionText(kShapes);
  vistrel::Viewport view = vistrel::fitToControl(vistrel::extents(list), 200, 150);
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "contura_qt_png";
  std::filesystem::create_directories(dir);
  QString path = QString::fromStdString((dir / "picture.png").string());
  QString error;
  ASSERT_TRUE(contura::qt::writePicturePng(path, list, view, 200, 150, {}, error)) << error.toStdString();
  QImage back(path);
  EXPECT_EQ(back.size(), QSize(200, 150));
  EXPECT_GT(coveredShare(back, contura::qt::renderPicture(list, view, 200, 150, {}), 0), 0.99);
  EXPECT_FALSE(contura::qt::writePicturePng(QString::fromStdString((dir / "no" / "such" / "x.png").string()), list,
                                            view, 200, 150, {}, error));
  EXPECT_TRUE(error.contains("x.png"));
  std::filesystem::remove_all(dir);
}

}  // namespace
