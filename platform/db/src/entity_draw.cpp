// How each entity class of the database draws itself through the drawing interface.
#include "internal.h"

#include <contura/db/hatch_data.h>
#include <contura/db/rawtags.h>
#include <contura/db/solid_data.h>
#include <contura/db/world_draw.h>
#include <contura/ge/text_box.h>
#include <dbelipse.h>
#include <dbhatch.h>
#include <dbmtext.h>
#include <dbpl.h>
#include <dbregion.h>
#include <dbsol3d.h>
#include <dbspline.h>
#include <dbsymtb.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

using contura::db::ObjectAccess;

namespace {

// A spline is cut into this many pieces per control point when the pixel size is unknown...
constexpr int kSplinePiecesPerControlPoint = 12;
// ... else so that each piece spans at most this many pixels of its control polygon.
constexpr double kSplinePixelsPerPiece = 4.0;
constexpr int kMaxSplinePieces = 100000;
// Hatch boundaries are cut into pieces turning at most this much.
constexpr double kHatchPieceTurn = contura::db::kPi / 64.0;

// Sample points, reused by every drawer (drawers do not nest into each other while sampling).
std::vector<AcGePoint3d>& sampleBuffer() {
  thread_local std::vector<AcGePoint3d> points;
  points.clear();
  return points;
}

// The curve through its own evaluation between two parameters, in `pieces` pieces.
void drawSampled(const AcDbCurve& curve, double from, double to, int pieces, AcGiWorldGeometry& geometry) {
  std::vector<AcGePoint3d>& points = sampleBuffer();
  pieces = std::max(1, pieces);
  for (int k = 0; k <= pieces; ++k) {
    AcGePoint3d p;
    if (curve.getPointAtParam(from + (to - from) * k / pieces, p) == Acad::eOk) points.push_back(p);
  }
  if (!points.empty()) geometry.polyline(static_cast<Adesk::UInt32>(points.size()), points.data());
}

// The entities of a block, as they are in the block (attribute definitions are shown through
// the references' attributes).
void drawBlockContents(const AcDbBlockTableRecord& block, AcGiWorldDraw* mode) {
  for (AcDbStub* stub : ObjectAccess::blockEntities(block)) {
    if (!contura::db::isLive(stub)) continue;
    auto* entity = static_cast<AcDbEntity*>(stub->object);
    if (AcDbAttributeDefinition::cast(entity)) continue;
    mode->geometry().draw(entity);
    if (mode->regenAbort()) return;
  }
}

// A closed loop of vertices with bulges in the plane z = 0 of the current transform, through
// the one polyline rule.
void drawLoop(const contura::db::Loop2d& loop, AcGiWorldGeometry& geometry) {
  AcDbPolyline outline(static_cast<unsigned>(loop.size()));
  for (const contura::db::LoopVertex& v : loop) outline.addVertexAt(outline.numVerts(), v.pt, v.bulge);
  outline.setClosed(true);
  geometry.pline(outline);
}

// The transform from a plane's own system (origin, axes) to the world.
AcGeMatrix3d planeSystem(const AcGePoint3d& origin, const AcGeVector3d& xAxis, const AcGeVector3d& yAxis) {
  AcGeMatrix3d m;
  m.setCoordSystem(origin, xAxis, yAxis, xAxis.crossProduct(yAxis));
  return m;
}

}  // namespace

// ---- Curves ----------------------------------------------------------------------------------------
Adesk::Boolean AcDbLine::worldDraw(AcGiWorldDraw* mode) {
  const AcGePoint3d points[2] = {mStart, mEnd};
  mode->geometry().polyline(2, points);
  return Adesk::kTrue;
}

Adesk::Boolean AcDbCircle::worldDraw(AcGiWorldDraw* mode) {
  mode->geometry().circle(mCenter, mRadius, mNormal);
  return Adesk::kTrue;
}

Adesk::Boolean AcDbArc::worldDraw(AcGiWorldDraw* mode) {
  const AcGeVector3d start =
      contura::db::ocsToWorld(mNormal) * AcGeVector3d(std::cos(mStartAngle), std::sin(mStartAngle), 0.0);
  mode->geometry().circularArc(mCenter, mRadius, mNormal, start, totalAngle());
  return Adesk::kTrue;
}

Adesk::Boolean AcDbPolyline::worldDraw(AcGiWorldDraw* mode) {
  mode->geometry().pline(*this);
  return Adesk::kTrue;
}

// The simple vertices as a lightweight polyline, so that bulges and widths follow one rule.
Adesk::Boolean AcDb2dPolyline::worldDraw(AcGiWorldDraw* mode) {
  AcDbPolyline outline;
  std::unique_ptr<AcDbObjectIterator> it(vertexIterator());
  for (; it && !it->done(); it->step()) {
    const AcDb2dVertex* v = AcDb2dVertex::cast(it->entity());
    if (!v || v->vertexType() != AcDb::k2dVertex) continue;
    const AcGePoint3d p = v->position();
    outline.addVertexAt(outline.numVerts(), AcGePoint2d(p.x, p.y), v->bulge(), v->startWidth(), v->endWidth());
  }
  if (outline.numVerts() == 0) return Adesk::kTrue;
  outline.setClosed(mClosed);
  outline.setElevation(mElevation);
  outline.setNormal(mNormal);
  mode->geometry().pline(outline);
  return Adesk::kTrue;
}

Adesk::Boolean AcDbEllipse::worldDraw(AcGiWorldDraw* mode) {
  double from = 0.0, to = 0.0;
  if (getStartParam(from) != Acad::eOk || getEndParam(to) != Acad::eOk) return Adesk::kTrue;
  drawSampled(*this, from, to, contura::db::arcPieceCount(to - from, mMajor.length(), mode->deviation()),
              mode->geometry());
  return Adesk::kTrue;
}

Adesk::Boolean AcDbSpline::worldDraw(AcGiWorldDraw* mode) {
  if (numControlPoints() == 0) {  // held as fit points only: drawn through them
    std::vector<AcGePoint3d>& points = sampleBuffer();
    for (int i = 0; i < numFitPoints(); ++i) {
      AcGePoint3d p;
      if (getFitPointAt(i, p) == Acad::eOk) points.push_back(p);
    }
    if (!points.empty()) mode->geometry().polyline(static_cast<Adesk::UInt32>(points.size()), points.data());
    return Adesk::kTrue;
  }
  double from = 0.0, to = 0.0;
  if (getStartParam(from) != Acad::eOk || getEndParam(to) != Acad::eOk) return Adesk::kTrue;
  int pieces = kSplinePiecesPerControlPoint * std::max(2, numControlPoints());
  if (mode->deviation() > 0.0) {
    double polygonLength = 0.0;
    for (int i = 1; i < numControlPoints(); ++i) polygonLength += mControlPoints[i].distanceTo(mControlPoints[i - 1]);
    const double wanted = std::ceil(polygonLength / (kSplinePixelsPerPiece * mode->deviation()));
    pieces = static_cast<int>(std::clamp(wanted, 2.0 * numControlPoints(), double(kMaxSplinePieces)));
  }
  drawSampled(*this, from, to, pieces, mode->geometry());
  return Adesk::kTrue;
}

Adesk::Boolean AcDbRay::worldDraw(AcGiWorldDraw* mode) {
  if (bothWays()) mode->geometry().xline(mBase, mBase + mDir);
  else mode->geometry().ray(mBase, mBase + mDir);
  return Adesk::kTrue;
}

// ---- Points and areas ----------------------------------------------------------------------------------
Adesk::Boolean AcDbPoint::worldDraw(AcGiWorldDraw* mode) {
  mode->geometry().polyPoint(1, &mPosition);
  return Adesk::kTrue;
}

// Corners in drawing-file order: the third and fourth are crossed.
Adesk::Boolean AcDbSolid::worldDraw(AcGiWorldDraw* mode) {
  const AcGeMatrix3d toWorld = contura::db::ocsToWorld(mNormal);
  const AcGePoint3d corners[4] = {toWorld * mPoints[0], toWorld * mPoints[1], toWorld * mPoints[3],
                                  toWorld * mPoints[2]};
  mode->subEntityTraits().setFillType(kAcGiFillAlways);
  mode->geometry().polygon(4, corners);
  return Adesk::kTrue;
}

// The loops filled together (islands stay open by the even-odd rule), lightly for a pattern,
// then each loop's outline.
Adesk::Boolean AcDbHatch::worldDraw(AcGiWorldDraw* mode) {
  std::vector<AcGePoint3d> vertices;
  std::vector<Adesk::Int32> faces;
  std::vector<AcGePoint2d> polygon;
  const double z = elevation();
  for (int loop = 0; loop < numLoops(); ++loop) {
    if (contura::db::hatchLoopPolygon(*this, loop, kHatchPieceTurn, polygon) != Acad::eOk || polygon.size() < 2)
      continue;
    const auto count = static_cast<Adesk::Int32>(polygon.size());
    faces.push_back(faces.empty() ? count : -count);
    for (const AcGePoint2d& p : polygon) {
      faces.push_back(static_cast<Adesk::Int32>(vertices.size()));
      vertices.emplace_back(p.x, p.y, z);
    }
  }
  if (vertices.empty()) return Adesk::kTrue;
  AcGiWorldGeometry& g = mode->geometry();
  g.pushModelTransform(contura::db::ocsToWorld(normal()));
  mode->subEntityTraits().setFillType(isSolidFill() ? kAcGiFillAlways : kAcGiFillPattern);
  g.shell(static_cast<Adesk::UInt32>(vertices.size()), vertices.data(), static_cast<Adesk::UInt32>(faces.size()),
          faces.data());
  mode->subEntityTraits().setFillType(kAcGiFillNever);
  std::vector<AcGePoint3d> outline;
  for (std::size_t at = 0; at < faces.size();) {
    const auto n = static_cast<std::size_t>(std::abs(faces[at]));
    outline.clear();
    for (std::size_t k = 1; k <= n; ++k) outline.push_back(vertices[faces[at + k]]);
    outline.push_back(outline.front());
    g.polyline(static_cast<Adesk::UInt32>(outline.size()), outline.data());
    at += n + 1;
  }
  g.popModelTransform();
  return Adesk::kTrue;
}

// The outlines of the loops; a region kept as modeller data draws nothing.
Adesk::Boolean AcDbRegion::worldDraw(AcGiWorldDraw* mode) {
  const contura::db::RegionData& data = contura::db::regionData(*this);
  if (data.loops.empty()) return Adesk::kTrue;
  AcGiWorldGeometry& g = mode->geometry();
  g.pushModelTransform(planeSystem(data.origin, data.xAxis, data.yAxis));
  for (const contura::db::Loop2d& loop : data.loops) drawLoop(loop, g);
  g.popModelTransform();
  return Adesk::kTrue;
}

// An extrusion: its loops at the bottom and the top; modeller data draws nothing.
Adesk::Boolean AcDb3dSolid::worldDraw(AcGiWorldDraw* mode) {
  const contura::db::SolidData& data = contura::db::solidData(*this);
  if (data.kind != contura::db::SolidData::kExtrusion) return Adesk::kTrue;
  AcGiWorldGeometry& g = mode->geometry();
  for (double z : {data.baseZ, data.baseZ + data.height}) {
    g.pushModelTransform(data.placement * AcGeMatrix3d::translation(AcGeVector3d(0.0, 0.0, z)));
    for (const contura::db::Loop2d& loop : data.loops) drawLoop(loop, g);
    g.popModelTransform();
  }
  return Adesk::kTrue;
}

// ---- Texts --------------------------------------------------------------------------------------------
// The baseline starts at the position for left-aligned, aligned and fitted texts; otherwise
// it is found from the alignment point and the text's box.
Adesk::Boolean AcDbText::worldDraw(AcGiWorldDraw* mode) {
  if (mText.empty()) return Adesk::kTrue;
  const AcGeMatrix3d toWorld = contura::db::ocsToWorld(mNormal);
  const AcGeVector3d along = toWorld * AcGeVector3d(std::cos(mRotation), std::sin(mRotation), 0.0);
  const AcGeVector3d up = toWorld * AcGeVector3d(-std::sin(mRotation), std::cos(mRotation), 0.0);
  AcGePoint3d start = mPosition;
  if (!isDefaultAlignment() && mHorzMode != AcDb::kTextAlign && mHorzMode != AcDb::kTextFit) {
    const double w = contura::ge::textBoxWidth(mText, mHeight, mWidthFactor);
    double dx = 0.0, dy = 0.0;
    if (mHorzMode == AcDb::kTextCenter || mHorzMode == AcDb::kTextMid) dx = -0.5 * w;
    else if (mHorzMode == AcDb::kTextRight) dx = -w;
    if (mHorzMode == AcDb::kTextMid || mVertMode == AcDb::kTextVertMid) dy = -0.5 * mHeight;
    else if (mVertMode == AcDb::kTextTop) dy = -mHeight;
    start = mAlignment + along * dx + up * dy;
  }
  mode->geometry().text(start, mNormal, along, mHeight, mWidthFactor, mOblique, mText.c_str());
  return Adesk::kTrue;
}

Adesk::Boolean AcDbAttributeDefinition::worldDraw(AcGiWorldDraw* mode) {
  return isInvisible() ? Adesk::kTrue : AcDbText::worldDraw(mode);
}

Adesk::Boolean AcDbAttribute::worldDraw(AcGiWorldDraw* mode) {
  return isInvisible() ? Adesk::kTrue : AcDbText::worldDraw(mode);
}

// Each line at its baseline, the lines' block placed by the attachment point, each line
// aligned in it by the attachment's column.
Adesk::Boolean AcDbMText::worldDraw(AcGiWorldDraw* mode) {
  const std::vector<std::string> lines = plainLines();
  if (lines.empty()) return Adesk::kTrue;
  const double h = mTextHeight;
  const double spacing = h * contura::ge::kMTextLineSpacing * mSpacingFactor;
  const int row = (mAttachment - 1) / 3, column = (mAttachment - 1) % 3;
  const double total = static_cast<double>(lines.size() - 1) * spacing + h;
  const double top = 0.5 * row * total;  // above the location
  const AcGeVector3d along = direction();
  const AcGeVector3d up = mNormal.normal().crossProduct(along);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    const double x = -0.5 * column * contura::ge::textBoxWidth(lines[i], h, 1.0);
    const double y = top - h - static_cast<double>(i) * spacing;
    mode->geometry().text(mLocation + along * x + up * y, mNormal, along, h, 1.0, 0.0, lines[i].c_str());
  }
  return Adesk::kTrue;
}

// ---- Block references -------------------------------------------------------------------------------------
void AcDbBlockReference::drawBlockAt(AcGiWorldDraw* mode, const AcGeMatrix3d& xform) const {
  const auto* block = contura::db::peekAs<AcDbBlockTableRecord>(mpBlock);
  if (!block) return;
  mode->geometry().pushModelTransform(xform);
  drawBlockContents(*block, mode);
  mode->geometry().popModelTransform();
}

void AcDbBlockReference::drawAttributes(AcGiWorldDraw* mode) const {
  std::unique_ptr<AcDbObjectIterator> it(attributeIterator());
  for (; it && !it->done(); it->step())
    if (AcDbEntity* attribute = it->entity()) mode->geometry().draw(attribute);
}

Adesk::Boolean AcDbBlockReference::worldDraw(AcGiWorldDraw* mode) {
  drawBlockAt(mode, blockTransform());
  drawAttributes(mode);
  return Adesk::kTrue;
}

Adesk::Boolean AcDbMInsertBlock::worldDraw(AcGiWorldDraw* mode) {
  for (int r = 0; r < mRows; ++r)
    for (int c = 0; c < mColumns; ++c) {
      drawBlockAt(mode, cellTransform(r, c));
      if (mode->regenAbort()) return Adesk::kFalse;
    }
  drawAttributes(mode);
  return Adesk::kTrue;
}

// A dimension's picture is the block its group code 2 names, in world coordinates.
Adesk::Boolean AcDbRawEntity::worldDraw(AcGiWorldDraw* mode) {
  if (mDxfName != "DIMENSION" || !database()) return Adesk::kTrue;
  for (const AcDbRawTag& tag : mTags) {
    if (tag.code != 2) continue;
    AcDbBlockTable* table = nullptr;
    if (database()->getBlockTable(table, AcDb::kForRead) != Acad::eOk) return Adesk::kTrue;
    AcDbObjectId blockId;
    const Acad::ErrorStatus es = table->getAt(tag.value.c_str(), blockId);
    table->close();
    const auto* block = AcDbBlockTableRecord::cast(contura::db::peek(blockId));
    if (es == Acad::eOk && block) drawBlockContents(*block, mode);
    return Adesk::kTrue;
  }
  return Adesk::kTrue;
}
