// Curvane, the polyline plotting library: a polyline drawn point by point by the person, and
// a polyline chained from existing curves.
#pragma once
#include <dbidar.h>
#include <dbpl.h>

class PlotPolyline {
public:
  // Lets the person draw a polyline the way the host's polyline command does: a first point,
  // then next points with a rubber band from the last one. Keyword answers: A (arc mode: the
  // next point ends an arc tangent to the previous segment), L (back to straight segments),
  // C (close the outline and finish), U (take back the last vertex). An empty answer
  // finishes. The polyline grows in model space as points come, so the drawing shows it.
  //
  // Prompts: "\n指定起点: ", then "\n指定下一点或 [圆弧(A)/闭合(C)/放弃(U)]: " in line mode and
  // "\n指定圆弧的端点或 [直线(L)/闭合(C)/放弃(U)]: " in arc mode (keywords Arc, Line, Close,
  // Undo). An arc before any segment leaves the first point along +X, as the host's first arc
  // does. C closes with a segment of the current mode; given on the first point again, the
  // repeated vertex goes and the segment into it becomes the closing one. U at the first
  // point returns to the start prompt in line mode. Refused with a command-line message and
  // asked again: C with fewer than two vertices, a point on the last vertex, and in arc mode a
  // point straight behind the tangent (no arc reaches it).
  //
  // Acad::eOk: pPline is the new polyline, appended to model space and still open for write
  // (the caller closes it); it has at least two vertices and is closed only after C.
  // Otherwise pPline is null and nothing is left in the drawing: eNotApplicable when the person
  // cancelled (or the input ended), eInvalidInput when fewer than two points were given.
  static Acad::ErrorStatus drawAPolylineWithPoints(AcDbPolyline*& pPline);

  // Chains the given lines, arcs and lightweight polylines end to end into one new polyline:
  // ends within 0.1 drawing units count as meeting; arcs become bulges with the sign of the
  // direction they are walked in; the result is closed when the chain closes. It is
  // appended to model space (closed again) and its id returned in plineId; the curves
  // themselves are not changed. The chain runs in the direction of the first curve given;
  // where two ends meet the point of the curve chained first is kept; curves are taken in
  // the XY plane (an arc or polyline whose normal points down turns the other way); a whole
  // circle given as an arc becomes two half-circle segments.
  // 0: success. Otherwise nothing is added, plineId is null and one command-line line says
  // why: 1 no ids, 2 an id that cannot be opened or is no line, arc or polyline (of at least
  // two vertices), 3 the curves fork (three ends meet), 4 they leave a gap or do not all join
  // into one chain, 5 the polyline could not be added to the drawing.
  static int getPolyline(const AcDbObjectIdArray& ids, AcDbObjectId& plineId);
};
