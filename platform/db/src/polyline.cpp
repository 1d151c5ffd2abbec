// AcDbPolyline: vertices, bulges and widths; parameters along its segments; explode into
// lines and arcs; transforms and extents.
#include "segments.h"

#include <contura/ge/curve2d.h>
#include <dbpl.h>

#include <algorithm>
#include <cmath>

using contura::db::ObjectAccess;

ACRX_DXF_DEFINE_MEMBERS(AcDbPolyline, AcDbCurve, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, LWPOLYLINE,
                        ObjectDBX Classes)

using contura::db::BulgePath;

AcDbPolyline::AcDbPolyline() = default;
AcDbPolyline::AcDbPolyline(unsigned int numVerts) { mVertices.reserve(numVerts); }
AcDbPolyline::~AcDbPolyline() = default;

const AcRxClass* AcDbPolyline::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbPolyline&>(src);
  return AcDbPolyline::desc();
}

void AcDbPolyline::ensureWidths() {
  if (mWidths.empty()) mWidths.assign(mVertices.size(), Widths{mConstantWidth, mConstantWidth});
}

Acad::ErrorStatus AcDbPolyline::getPointAt(unsigned int index, AcGePoint2d& pt) const {
  if (!validIndex(index)) return Acad::eInvalidIndex;
  pt = mVertices[index].pt;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getPointAt(unsigned int index, AcGePoint3d& pt) const {
  if (!validIndex(index)) return Acad::eInvalidIndex;
  const AcGePoint2d& p = mVertices[index].pt;
  pt = contura::db::ocsToWorld(mNormal) * AcGePoint3d(p.x, p.y, mElevation);
  return Acad::eOk;
}

AcDbPolyline::SegType AcDbPolyline::segType(unsigned int index) const {
  const size_t n = mVertices.size();
  if (n == 0) return kEmpty;
  if (n == 1) return index == 0 ? kPoint : kEmpty;
  const size_t segments = mClosed ? n : n - 1;
  if (index >= segments) return kEmpty;
  const AcGePoint2d& p0 = mVertices[index].pt;
  const AcGePoint2d& p1 = mVertices[(index + 1) % n].pt;
  if (p0.distanceTo(p1) <= contura::db::kZeroLength) return kCoincident;
  return contura::ge::isStraightBulge(mVertices[index].bulge) ? kLine : kArc;
}

Acad::ErrorStatus AcDbPolyline::getLineSegAt(unsigned int index, AcGeLineSeg2d& ln) const {
  if (segType(index) != kLine) return Acad::eInvalidInput;
  ln.set(mVertices[index].pt, mVertices[(index + 1) % mVertices.size()].pt);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getArcSegAt(unsigned int index, AcGeCircArc2d& arc) const {
  if (segType(index) != kArc) return Acad::eInvalidInput;
  const AcGePoint2d& p0 = mVertices[index].pt;
  const AcGePoint2d& p1 = mVertices[(index + 1) % mVertices.size()].pt;
  // Running the way the polyline does (clockwise for a negative bulge).
  return contura::ge::arcFromBulge(p0, p1, mVertices[index].bulge, arc) ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbPolyline::getBulgeAt(unsigned int index, double& bulge) const {
  if (!validIndex(index)) return Acad::eInvalidIndex;
  bulge = mVertices[index].bulge;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getWidthsAt(unsigned int index, double& startWidth, double& endWidth) const {
  if (!validIndex(index)) return Acad::eInvalidIndex;
  if (mWidths.empty()) {
    startWidth = endWidth = mConstantWidth;
  } else {
    startWidth = mWidths[index].start;
    endWidth = mWidths[index].end;
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getStartWidthAt(unsigned int index, double& startWidth) const {
  double unused = 0.0;
  return getWidthsAt(index, startWidth, unused);
}

Acad::ErrorStatus AcDbPolyline::getEndWidthAt(unsigned int index, double& endWidth) const {
  double unused = 0.0;
  return getWidthsAt(index, unused, endWidth);
}

Acad::ErrorStatus AcDbPolyline::addVertexAt(unsigned int index, const AcGePoint2d& pt, double bulge,
                                            double startWidth, double endWidth, Adesk::Int32) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (index > mVertices.size()) return Acad::eInvalidIndex;
  if (!std::isfinite(pt.x) || !std::isfinite(pt.y) || !std::isfinite(bulge)) return Acad::eInvalidInput;
  // A negative width stands for the default: the constant width.
  if (startWidth < 0.0) startWidth = mConstantWidth;
  if (endWidth < 0.0) endWidth = mConstantWidth;
  // Widths other than the constant one need the per-vertex list (made for the vertices there
  // are, which may be none yet).
  // Compared bit for bit: a width of -0 is kept as given, not folded into a constant +0.
  auto differs = [this](double w) { return w != mConstantWidth || std::signbit(w) != std::signbit(mConstantWidth); };
  const bool ownWidths = !mWidths.empty() || differs(startWidth) || differs(endWidth);
  if (ownWidths) ensureWidths();
  mVertices.insert(mVertices.begin() + index, Vertex{pt, bulge});
  if (ownWidths) mWidths.insert(mWidths.begin() + index, Widths{startWidth, endWidth});
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::removeVertexAt(unsigned int index) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!validIndex(index)) return Acad::eInvalidIndex;
  mVertices.erase(mVertices.begin() + index);
  if (!mWidths.empty()) mWidths.erase(mWidths.begin() + index);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setPointAt(unsigned int index, const AcGePoint2d& pt) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!validIndex(index)) return Acad::eInvalidIndex;
  mVertices[index].pt = pt;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setBulgeAt(unsigned int index, double bulge) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!validIndex(index)) return Acad::eInvalidIndex;
  if (!std::isfinite(bulge)) return Acad::eInvalidInput;
  mVertices[index].bulge = bulge;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setWidthsAt(unsigned int index, double startWidth, double endWidth) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!validIndex(index)) return Acad::eInvalidIndex;
  if (startWidth < 0.0 || endWidth < 0.0) return Acad::eInvalidInput;
  ensureWidths();
  mWidths[index] = Widths{startWidth, endWidth};
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setStartWidthAt(unsigned int index, double startWidth) {
  double s = 0.0, e = 0.0;
  Acad::ErrorStatus es = getWidthsAt(index, s, e);
  return es == Acad::eOk ? setWidthsAt(index, startWidth, e) : es;
}

Acad::ErrorStatus AcDbPolyline::setEndWidthAt(unsigned int index, double endWidth) {
  double s = 0.0, e = 0.0;
  Acad::ErrorStatus es = getWidthsAt(index, s, e);
  return es == Acad::eOk ? setWidthsAt(index, s, endWidth) : es;
}

void AcDbPolyline::reset(bool reuse, unsigned int numVerts) {
  if (!writable()) return;
  if (!reuse) {
    mVertices.clear();
    mWidths.clear();
    return;
  }
  if (numVerts < mVertices.size()) {
    mVertices.resize(numVerts);
    if (!mWidths.empty()) mWidths.resize(numVerts);
  }
}

void AcDbPolyline::setClosed(bool closed) {
  if (writable()) mClosed = closed;
}
void AcDbPolyline::setPlinegen(bool plinegen) {
  if (writable()) mPlinegen = plinegen;
}
void AcDbPolyline::setElevation(double elev) {
  if (writable()) mElevation = elev;
}
Acad::ErrorStatus AcDbPolyline::setThickness(double thickness) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mThickness = thickness;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbPolyline::setNormal(const AcGeVector3d& normal) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (normal.isZeroLength()) return Acad::eInvalidInput;
  mNormal = normal.normal();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setConstantWidth(double width) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (width < 0.0) return Acad::eInvalidInput;
  mConstantWidth = width;
  mWidths.clear();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getConstantWidth(double& width) const {
  if (mWidths.empty()) {
    width = mConstantWidth;
    return Acad::eOk;
  }
  const double w = mWidths.front().start;
  for (const Widths& ws : mWidths)
    if (ws.start != w || ws.end != w) return Acad::eInvalidInput;
  width = w;
  return Acad::eOk;
}

bool AcDbPolyline::isOnlyLines() const { return !hasBulges(); }

bool AcDbPolyline::hasBulges() const {
  return std::any_of(mVertices.begin(), mVertices.end(),
                     [](const Vertex& v) { return !contura::ge::isStraightBulge(v.bulge); });
}

bool AcDbPolyline::hasWidth() const {
  if (mWidths.empty()) return mConstantWidth != 0.0;
  return std::any_of(mWidths.begin(), mWidths.end(), [](const Widths& w) { return w.start != 0.0 || w.end != 0.0; });
}

// ---- curve members -----------------------------------------------------------------------
Acad::ErrorStatus AcDbPolyline::getPlane(AcGePlane& plane) const {
  plane.set(contura::db::ocsToWorld(mNormal) * AcGePoint3d(0.0, 0.0, mElevation), mNormal);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getStartParam(double& startParam) const {
  if (mVertices.empty()) return Acad::eDegenerateGeometry;
  startParam = 0.0;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getEndParam(double& endParam) const {
  if (mVertices.empty()) return Acad::eDegenerateGeometry;
  endParam = BulgePath(mVertices, mClosed).endParam();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getStartPoint(AcGePoint3d& startPoint) const {
  if (mVertices.empty()) return Acad::eDegenerateGeometry;
  return getPointAt(0, startPoint);
}

Acad::ErrorStatus AcDbPolyline::getEndPoint(AcGePoint3d& endPoint) const {
  if (mVertices.empty()) return Acad::eDegenerateGeometry;
  return getPointAt(mClosed ? 0u : unsigned(mVertices.size() - 1), endPoint);
}

Acad::ErrorStatus AcDbPolyline::getPointAtParam(double param, AcGePoint3d& point) const {
  if (mVertices.empty()) return Acad::eDegenerateGeometry;
  AcGePoint2d p;
  if (!BulgePath(mVertices, mClosed).pointAtParam(param, p)) return Acad::eInvalidInput;
  point = contura::db::ocsToWorld(mNormal) * AcGePoint3d(p.x, p.y, mElevation);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getParamAtPoint(const AcGePoint3d& point, double& param) const {
  if (mVertices.empty()) return Acad::eDegenerateGeometry;
  const AcGePoint3d local = contura::db::worldToOcs(mNormal) * point;
  const BulgePath path(mVertices, mClosed);
  const double tol = contura::db::onCurveTol(std::max(path.size(), std::fabs(mElevation)));
  if (std::fabs(local.z - mElevation) > tol) return Acad::eInvalidInput;
  return path.paramAtPoint(AcGePoint2d(local.x, local.y), tol, param) ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbPolyline::getDistAtParam(double param, double& dist) const {
  if (mVertices.empty()) return Acad::eDegenerateGeometry;
  return BulgePath(mVertices, mClosed).distAtParam(param, dist) ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbPolyline::getParamAtDist(double dist, double& param) const {
  if (mVertices.empty()) return Acad::eDegenerateGeometry;
  return BulgePath(mVertices, mClosed).paramAtDist(dist, param) ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbPolyline::getFirstDeriv(double param, AcGeVector3d& firstDeriv) const {
  if (mVertices.empty()) return Acad::eDegenerateGeometry;
  AcGeVector2d d;
  if (!BulgePath(mVertices, mClosed).firstDerivAt(param, d)) return Acad::eInvalidInput;
  firstDeriv = contura::db::ocsToWorld(mNormal) * AcGeVector3d(d.x, d.y, 0.0);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getSecondDeriv(double param, AcGeVector3d& secDeriv) const {
  if (mVertices.empty()) return Acad::eDegenerateGeometry;
  AcGeVector2d d;
  if (!BulgePath(mVertices, mClosed).secondDerivAt(param, d)) return Acad::eInvalidInput;
  secDeriv = contura::db::ocsToWorld(mNormal) * AcGeVector3d(d.x, d.y, 0.0);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::explode(AcDbVoidPtrArray& entitySet) const {
  if (mVertices.size() < 2) return Acad::eNotApplicable;
  BulgePath(mVertices, mClosed).explode(*this, mNormal, mElevation, entitySet);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::transformBy(const AcGeMatrix3d& xform) {
  if (!writable()) return Acad::eNotOpenForWrite;
  double scale = 1.0;
  const bool similar = contura::db::planeSimilarity(xform, mNormal, scale);
  if (!similar && hasBulges()) return Acad::eCannotScaleNonUniformly;
  const AcGeVector3d newNormal = contura::db::transformNormal(xform, mNormal);
  if (newNormal.isZeroLength()) return Acad::eInvalidInput;
  const AcGeMatrix3d toWorld = contura::db::ocsToWorld(mNormal);
  const AcGeMatrix3d toNewOcs = contura::db::worldToOcs(newNormal);
  AcGeVector3d u(toWorld(0, 0), toWorld(1, 0), toWorld(2, 0));
  AcGeVector3d v(toWorld(0, 1), toWorld(1, 1), toWorld(2, 1));
  u.transformBy(xform);
  v.transformBy(xform);
  const bool flipped = u.crossProduct(v).dotProduct(newNormal) < 0.0;
  const AcGeMatrix3d map = toNewOcs * xform * toWorld;
  double elevation = (map * AcGePoint3d(0.0, 0.0, mElevation)).z;
  for (Vertex& vtx : mVertices) {
    const AcGePoint3d q = map * AcGePoint3d(vtx.pt.x, vtx.pt.y, mElevation);
    vtx.pt.set(q.x, q.y);
    elevation = q.z;
    if (flipped) vtx.bulge = -vtx.bulge;
  }
  mElevation = elevation;
  mNormal = newNormal;
  if (similar) {
    mConstantWidth *= scale;
    for (Widths& w : mWidths) {
      w.start *= scale;
      w.end *= scale;
    }
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getGeomExtents(AcDbExtents& extents) const {
  if (mVertices.empty()) return Acad::eInvalidExtents;
  AcDbExtents box;
  BulgePath(mVertices, mClosed).addExtents(contura::db::ocsToWorld(mNormal), mElevation, box);
  if (mThickness != 0.0) {
    AcDbExtents top = box;
    top.transformBy(AcGeMatrix3d::translation(mNormal * mThickness));
    box.addExt(top);
  }
  extents = box;
  return Acad::eOk;
}
