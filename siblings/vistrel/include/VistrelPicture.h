// The view library's picture for painters other than the SVG writer: a display list laid
// out as screen primitives (pixels, y growing downwards) and handed to a sink, with the
// colours, stroke widths, base point mark and selection frame of the SVG picture. A window
// toolkit implements the sink with its own painter; the library itself draws nothing.
#pragma once
#include <string_view>
#include <vector>

#include "VistrelDisplayList.h"

namespace vistrel {

struct ScreenPoint {
  double x = 0.0, y = 0.0;
  bool operator==(const ScreenPoint&) const = default;
};

// Receives the primitives of one picture in drawing order.
class PictureSink {
public:
  virtual ~PictureSink() = default;
  // The sheet under everything: width x height pixels of one colour (always first).
  virtual void sheet(int width, int height, Rgb color) = 0;
  // A line through `points` (closed: back to the first), `width` pixels wide; dashed lines
  // use dashes of kPictureFrameDashPixels and gaps of kPictureFrameGapPixels.
  virtual void stroke(const std::vector<ScreenPoint>& points, bool closed, Rgb color, double width,
                      bool dashed) = 0;
  // A filled polygon without outline.
  virtual void fill(const std::vector<ScreenPoint>& points, Rgb color) = 0;
  // A text: the start of its baseline, its em height in pixels, its rotation in degrees
  // clockwise on the screen, its code page 936 characters; underlined for variable values.
  virtual void text(ScreenPoint baseline, double pixelHeight, double clockwiseDegrees, std::string_view cp936,
                    Rgb color, bool underline) = 0;
};

// Stroke widths, marks and their colours of every picture (the SVG one too), in pixels.
inline constexpr double kPictureStrokePixels = 1.0;
inline constexpr double kPictureOutlineStrokePixels = 1.5;
inline constexpr double kPictureBaseMarkRadiusPixels = 4.0;
inline constexpr double kPictureBaseMarkArmPixels = 7.0;
inline constexpr double kPictureFrameStrokePixels = 2.0;
inline constexpr double kPictureFrameDashPixels = 4.0;
inline constexpr double kPictureFrameGapPixels = 2.0;
inline constexpr Rgb kPictureSheetColor{255, 255, 255};
inline constexpr Rgb kPictureBaseMarkColor{255, 0, 0};
inline constexpr Rgb kPictureFrameColor{0x00, 0x78, 0xd7};
// Arcs and circles become straight pieces that stray at most this far from the true curve.
inline constexpr double kPictureArcTolerancePixels = 0.25;

// The colour a shape's colour is drawn in on the white sheet: white draws black.
Rgb sheetColor(Rgb color);

// Lays out the picture of `list` drawn through `view` in a control of width x height pixels
// and hands it to `sink`: the white sheet, every shape in order, then the base point mark and
// the selection frame when the options ask for them.
void paintPicture(const DisplayList& list, const Viewport& view, int width, int height, const SvgOptions& options,
                  PictureSink& sink);

}  // namespace vistrel
