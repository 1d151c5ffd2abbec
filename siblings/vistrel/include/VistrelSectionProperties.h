// Area properties of the closed shapes of a section text: area, perimeters, centroid, second
// moments, principal moments and axis, and extents, measured through the drawing database's
// regions (exact for line and arc segments).
#pragma once
#include <string_view>
#include "VistrelDisplayList.h"

namespace vistrel {

// Results of sectionProperties. Lengths in drawing units (millimetres for the library), areas
// in units squared, second moments in units to the fourth, the angle in degrees.
struct SectionProperties {
  enum Result {
    kOk = 0,
    kNoClosedShape = 1,   // the text holds no outline, closed polyline or circle
    kBadShape = 2,        // a closed shape crosses itself or encloses nothing
    kNoArea = 3,          // the holes take up all of the area
  };
  int result = kNoClosedShape;
  int shapes = 0;              // closed shapes measured
  int holes = 0;               // of which holes
  double area = 0.0;
  double outerPerimeter = 0.0; // the shapes that count as material
  double holePerimeter = 0.0;  // the shapes that count as holes
  double perimeter() const { return outerPerimeter + holePerimeter; }
  Point2 centroid;             // in the text's own coordinates (before any base point move)
  // About axes through the centroid parallel to x and y: integrals of y^2, x^2 and x y.
  double ix = 0.0, iy = 0.0, ixy = 0.0;
  // Largest and smallest second moment about axes through the centroid, and the angle of the
  // axis of i1, counter-clockwise from x, in (-90, 90].
  double i1 = 0.0, i2 = 0.0, angleDegrees = 0.0;
  Box box;                     // extents of the material shapes
};

// The closed shapes of a display list: the section outline (closed back to its first vertex
// whether or not the text repeats it), each polyline whose last vertex lies on its first, and
// each circle. Lines, arcs, open polylines and texts take no part. Nesting decides what is a
// hole: a shape inside an odd number of others is a hole, inside an even number it is
// material again (so an island in a hole counts). Shapes must not cross one another; a shape
// is taken to be inside another when its first point is.
SectionProperties sectionProperties(const DisplayList& list);
SectionProperties sectionProperties(std::string_view sectionText);

}  // namespace vistrel
