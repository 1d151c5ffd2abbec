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

using contura::db::kParamTol;

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
  return std::fabs(mVertices[index].bulge) > contura::db::kZeroLength ? kArc : kLine;
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
  // From the bulge itself: an arc through three nearly collinear points would lose the
  // radius of a slightly bulged segment to rounding.
  if (contura::ge::arcFromBulge(p0, p1, mVertices[index].bulge, arc)) return Acad::eOk;
  arc.set(p0, contura::db::segmentPoint(p0, p1, mVertices[index].bulge, 0.5), p1);
  return Acad::eOk;
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
                     [](const Vertex& v) { return std::fabs(v.bulge) > contura::db::kZeroLength; });
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
  const size_t n = mVertices.size();
  endParam = double(mClosed && n > 1 ? n : n - 1);
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

namespace {
// Splits a parameter into a segment index and the fraction inside it.
bool splitParam(double param, double endParam, size_t segments, size_t& index, double& t) {
  if (!(param >= -kParamTol && param <= endParam + kParamTol)) return false;
  param = std::clamp(param, 0.0, endParam);
  if (segments == 0) {
    index = 0;
    t = 0.0;
    return true;
  }
  index = std::min(size_t(std::floor(param)), segments - 1);
  t = param - double(index);
  return true;
}
}  // namespace

Acad::ErrorStatus AcDbPolyline::getPointAtParam(double param, AcGePoint3d& point) const {
  double endParam = 0.0;
  Acad::ErrorStatus es = getEndParam(endParam);
  if (es != Acad::eOk) return es;
  size_t i = 0;
  double t = 0.0;
  const size_t n = mVertices.size();
  if (!splitParam(param, endParam, size_t(endParam), i, t)) return Acad::eInvalidInput;
  const AcGePoint2d p = n == 1 ? mVertices[0].pt
                               : contura::db::segmentPoint(mVertices[i].pt, mVertices[(i + 1) % n].pt, mVertices[i].bulge, t);
  point = contura::db::ocsToWorld(mNormal) * AcGePoint3d(p.x, p.y, mElevation);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getParamAtPoint(const AcGePoint3d& point, double& param) const {
  double endParam = 0.0;
  Acad::ErrorStatus es = getEndParam(endParam);
  if (es != Acad::eOk) return es;
  const AcGePoint3d local = contura::db::worldToOcs(mNormal) * point;
  double size = 0.0;
  for (const Vertex& v : mVertices) size = std::max(size, std::hypot(v.pt.x, v.pt.y));
  const double tol = contura::db::onCurveTol(std::max(size, std::fabs(mElevation)));
  if (std::fabs(local.z - mElevation) > tol) return Acad::eInvalidInput;
  const AcGePoint2d p(local.x, local.y);
  const size_t n = mVertices.size();
  const size_t segments = size_t(endParam);
  if (segments == 0) {
    if (p.distanceTo(mVertices[0].pt) > tol) return Acad::eInvalidInput;
    param = 0.0;
    return Acad::eOk;
  }
  double best = -1.0, bestParam = 0.0;
  for (size_t i = 0; i < segments; ++i) {
    double d = 0.0;
    const double t = contura::db::segmentParamOf(mVertices[i].pt, mVertices[(i + 1) % n].pt, mVertices[i].bulge, p, d);
    if (best < 0.0 || d < best) {
      best = d;
      bestParam = double(i) + t;
    }
  }
  if (best > tol) return Acad::eInvalidInput;
  param = bestParam;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getDistAtParam(double param, double& dist) const {
  double endParam = 0.0;
  Acad::ErrorStatus es = getEndParam(endParam);
  if (es != Acad::eOk) return es;
  size_t index = 0;
  double t = 0.0;
  if (!splitParam(param, endParam, size_t(endParam), index, t)) return Acad::eInvalidInput;
  const size_t n = mVertices.size();
  double total = 0.0;
  for (size_t i = 0; i < index; ++i)
    total += contura::db::segmentLength(mVertices[i].pt, mVertices[(i + 1) % n].pt, mVertices[i].bulge);
  if (endParam > 0.0)
    total += t * contura::db::segmentLength(mVertices[index].pt, mVertices[(index + 1) % n].pt, mVertices[index].bulge);
  dist = total;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getParamAtDist(double dist, double& param) const {
  double endParam = 0.0;
  Acad::ErrorStatus es = getEndParam(endParam);
  if (es != Acad::eOk) return es;
  if (dist < 0.0) return Acad::eInvalidInput;
  const size_t n = mVertices.size();
  const size_t segments = size_t(endParam);
  double walked = 0.0;
  for (size_t i = 0; i < segments; ++i) {
    const double len = contura::db::segmentLength(mVertices[i].pt, mVertices[(i + 1) % n].pt, mVertices[i].bulge);
    if (dist <= walked + len) {
      param = double(i) + (len > 0.0 ? (dist - walked) / len : 0.0);
      return Acad::eOk;
    }
    walked += len;
  }
  if (dist <= walked * (1.0 + contura::db::kLengthRelTol) + contura::db::kZeroLength) {
    param = endParam;
    return Acad::eOk;
  }
  return Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbPolyline::getFirstDeriv(double param, AcGeVector3d& firstDeriv) const {
  double endParam = 0.0;
  Acad::ErrorStatus es = getEndParam(endParam);
  if (es != Acad::eOk) return es;
  size_t i = 0;
  double t = 0.0;
  if (!splitParam(param, endParam, size_t(endParam), i, t)) return Acad::eInvalidInput;
  const size_t n = mVertices.size();
  const AcGeVector2d d = n == 1 ? AcGeVector2d()
                                : contura::db::segmentDeriv(mVertices[i].pt, mVertices[(i + 1) % n].pt, mVertices[i].bulge, t);
  firstDeriv = contura::db::ocsToWorld(mNormal) * AcGeVector3d(d.x, d.y, 0.0);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getSecondDeriv(double param, AcGeVector3d& secDeriv) const {
  double endParam = 0.0;
  Acad::ErrorStatus es = getEndParam(endParam);
  if (es != Acad::eOk) return es;
  size_t i = 0;
  double t = 0.0;
  if (!splitParam(param, endParam, size_t(endParam), i, t)) return Acad::eInvalidInput;
  const size_t n = mVertices.size();
  contura::db::BulgeArc arc;
  AcGeVector2d d;
  if (n > 1 && contura::db::bulgeArc(mVertices[i].pt, mVertices[(i + 1) % n].pt, mVertices[i].bulge, arc)) {
    const double a = arc.startAngle + arc.sweep * t;
    d = AcGeVector2d(std::cos(a), std::sin(a)) * (-arc.radius * arc.sweep * arc.sweep);
  }
  secDeriv = contura::db::ocsToWorld(mNormal) * AcGeVector3d(d.x, d.y, 0.0);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::explode(AcDbVoidPtrArray& entitySet) const {
  const size_t n = mVertices.size();
  if (n < 2) return Acad::eNotApplicable;
  const size_t segments = mClosed ? n : n - 1;
  for (size_t i = 0; i < segments; ++i) {
    AcDbCurve* piece = contura::db::segmentEntity(mVertices[i].pt, mVertices[(i + 1) % n].pt, mVertices[i].bulge,
                                                  mNormal, mElevation);
    if (piece == nullptr) continue;
    piece->setPropertiesFrom(this);
    entitySet.append(piece);
  }
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
  const AcGeMatrix3d toWorld = contura::db::ocsToWorld(mNormal);
  AcDbExtents box;
  const size_t n = mVertices.size();
  if (n == 1) box.addPoint(toWorld * AcGePoint3d(mVertices[0].pt.x, mVertices[0].pt.y, mElevation));
  const size_t segments = n == 1 ? 0 : (mClosed ? n : n - 1);
  for (size_t i = 0; i < segments; ++i)
    contura::db::addSegmentExtents(mVertices[i].pt, mVertices[(i + 1) % n].pt, mVertices[i].bulge, toWorld,
                                   mElevation, box);
  if (mThickness != 0.0) {
    AcDbExtents top = box;
    top.transformBy(AcGeMatrix3d::translation(mNormal * mThickness));
    box.addExt(top);
  }
  extents = box;
  return Acad::eOk;
}
