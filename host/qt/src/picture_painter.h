// The view library's pictures drawn with QPainter: in the dialogs' preview controls and as
// PNG files.
#pragma once
#include <QImage>
#include <QPainter>
#include <QString>

#include <VistrelPicture.h>

namespace contura::qt {

// Paints the primitives of a picture with a QPainter (antialiased).
class QtPictureSink final : public vistrel::PictureSink {
public:
  explicit QtPictureSink(QPainter& painter) : m_painter(painter) {}
  void sheet(int width, int height, vistrel::Rgb color) override;
  void stroke(const std::vector<vistrel::ScreenPoint>& points, bool closed, vistrel::Rgb color, double width,
              bool dashed) override;
  void fill(const std::vector<vistrel::ScreenPoint>& points, vistrel::Rgb color) override;
  void text(vistrel::ScreenPoint baseline, double pixelHeight, double clockwiseDegrees, std::string_view cp936,
            vistrel::Rgb color, bool underline) override;

private:
  QPainter& m_painter;
};

// The picture of `list` through `view` in a width x height image.
QImage renderPicture(const vistrel::DisplayList& list, const vistrel::Viewport& view, int width, int height,
                     const vistrel::SvgOptions& options);
// Writes that picture as a PNG file; false (and `error` says why) when it cannot be written.
bool writePicturePng(const QString& path, const vistrel::DisplayList& list, const vistrel::Viewport& view, int width,
                     int height, const vistrel::SvgOptions& options, QString& error);

}  // namespace contura::qt
