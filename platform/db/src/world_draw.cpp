// The consumer base of the drawing interface: traits, transforms, nesting, colours, polyline
// widths, and the extents of what an entity draws.
#include <contura/db/world_draw.h>

#include <contura/ge/angles.h>
#include <contura/ge/curve2d.h>
#include <contura/ge/text_box.h>
#include <dbents.h>
#include <dbmain.h>
#include <dbpl.h>
#include <dbsymtb.h>
#include <gearc2d.h>
#include <gelnsg2d.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace contura::db {
namespace {

// Curves are cut into pieces of at most this angle when the consumer's pixel size is unknown.
constexpr double kMaxPieceTurn = contura::ge::kPi / 64.0;
// When the pixel size is known, pieces turn between these: a curve a few pixels across still
// gets eight pieces to a circle, a huge one no more than 2048.
constexpr double kMinPieceTurn = contura::ge::kPi / 1024.0;
constexpr double kCoarsestPieceTurn = contura::ge::kPi / 4.0;
// A transform keeps circles circular when the images of two perpendicular unit vectors of the
// circle's plane differ in length and squareness by no more than this share.
constexpr double kCircularTol = 1e-9;
// A start vector along the normal (within this share of its length) gives an arc no direction.
constexpr double kDirectionTol = 1e-12;
// The index colour "by block" means outside any block, and what colours without an index or a
// value (foreground, none) are drawn in.
constexpr Adesk::UInt16 kWhiteIndex = 7;

AcCmEntityColor indexColor(Adesk::UInt16 index) {
  AcCmEntityColor c;
  c.setColorIndex(static_cast<Adesk::Int16>(index));
  return c;
}

struct LayerInfo {
  AcCmEntityColor color;
  bool visible = true;
};

struct Traits {
  AcCmEntityColor color;  // as set: may be by layer or by block
  AcDbObjectId layer;
  AcGiFillType fill = kAcGiFillNever;
};

// What "by block" and layer "0" mean where the entity is drawn.
struct BlockContext {
  bool inside = false;
  AcCmEntityColor color;
  AcDbObjectId layer;
};

}  // namespace

int arcPieceCount(double sweep, double radius, double deviation) {
  double step = kMaxPieceTurn;
  if (deviation > 0.0) {
    // The turn whose chord strays `deviation` from the circle is 2 acos(1 - d/r); 2 sqrt(2 d/r)
    // is never more (the pieces a little shorter, never further out) and needs no arc cosine.
    step = radius > deviation ? 2.0 * std::sqrt(2.0 * deviation / radius) : kCoarsestPieceTurn;
    step = std::clamp(step, kMinPieceTurn, kCoarsestPieceTurn);
  }
  return std::max(2, static_cast<int>(std::ceil(std::fabs(sweep) / step)));
}

struct WorldDrawConsumer::State {
  std::unordered_map<AcDbStub*, LayerInfo> layers;
  AcDbObjectId layerZero;
  AcDbDatabase* db = nullptr;
  Traits traits;
  BlockContext block;
  int depth = 0;
  std::vector<AcGeMatrix3d> transforms;  // each the whole model-to-world transform
  bool identity = true;
  DrawStyle style;
  bool styleValid = false;
  // Reused buffers: no allocation per primitive once they have grown.
  std::vector<AcGePoint3d> points;
  std::vector<std::vector<AcGePoint3d>> loops;
  std::vector<std::vector<AcGePoint3d>> spareLoops;

  const AcGeMatrix3d& xform() const { return transforms.empty() ? AcGeMatrix3d::kIdentity : transforms.back(); }
  AcGePoint3d place(const AcGePoint3d& p) const { return identity ? p : xform() * p; }
  AcGeVector3d turn(const AcGeVector3d& v) const { return identity ? v : xform() * v; }

  const LayerInfo* layer(AcDbObjectId id) const {
    auto it = layers.find(static_cast<AcDbStub*>(id));
    return it == layers.end() ? nullptr : &it->second;
  }
  AcDbObjectId effectiveLayer(AcDbObjectId own) const {
    return block.inside && own == layerZero && !block.layer.isNull() ? block.layer : own;
  }
  AcCmEntityColor resolve(const AcCmEntityColor& c) const {
    if (c.isByColor() || c.isByACI()) return c;
    if (c.isByBlock()) return block.inside ? block.color : indexColor(kWhiteIndex);
    if (c.isByLayer()) {
      const LayerInfo* info = layer(effectiveLayer(traits.layer));
      return info ? info->color : indexColor(kWhiteIndex);
    }
    return indexColor(kWhiteIndex);
  }
  const DrawStyle& currentStyle() {
    if (!styleValid) {
      style.layer = effectiveLayer(traits.layer);
      style.color = resolve(traits.color);
      style.filled = traits.fill == kAcGiFillAlways || traits.fill == kAcGiFillPattern;
      style.pattern = traits.fill == kAcGiFillPattern;
      styleValid = true;
    }
    return style;
  }
  bool hidden(const AcDbEntity& e) const {
    if (e.visibility() == AcDb::kInvisible) return true;
    const LayerInfo* info = layer(effectiveLayer(e.layerId()));
    return info && !info->visible;
  }
  void takeTraitsOf(const AcDbEntity& e) {
    traits.color = e.entityColor();
    traits.layer = e.layerId();
    traits.fill = kAcGiFillNever;
    styleValid = false;
  }
  // The loop buffer holding n cleared loops (their storage kept).
  std::vector<std::vector<AcGePoint3d>>& loopBuffer(std::size_t n) {
    while (loops.size() > n) {
      spareLoops.push_back(std::move(loops.back()));
      loops.pop_back();
    }
    while (loops.size() < n) {
      if (spareLoops.empty()) loops.emplace_back();
      else {
        loops.push_back(std::move(spareLoops.back()));
        spareLoops.pop_back();
      }
    }
    for (auto& loop : loops) loop.clear();
    return loops;
  }
};

WorldDrawConsumer::WorldDrawConsumer(AcDbDatabase* db) : m_state(std::make_unique<State>()) {
  m_state->db = db;
  AcDbLayerTable* table = nullptr;
  if (!db || db->getLayerTable(table, AcDb::kForRead) != Acad::eOk) return;
  AcDbLayerTableIterator* rawIt = nullptr;
  if (table->newIterator(rawIt) == Acad::eOk) {
    std::unique_ptr<AcDbLayerTableIterator> it(rawIt);
    for (; !it->done(); it->step()) {
      AcDbLayerTableRecord* record = nullptr;
      if (it->getRecord(record, AcDb::kForRead) != Acad::eOk) continue;
      LayerInfo info;
      info.color = record->color().entityColor();
      if (!info.color.isByColor() && !info.color.isByACI()) info.color = indexColor(kWhiteIndex);
      info.visible = !record->isOff() && !record->isFrozen();
      m_state->layers[static_cast<AcDbStub*>(record->objectId())] = info;
      const ACHAR* name = nullptr;
      if (record->getName(name) == Acad::eOk && name && std::string_view(name) == "0") m_state->layerZero = record->objectId();
      record->close();
    }
  }
  table->close();
}

WorldDrawConsumer::~WorldDrawConsumer() = default;

AcDbDatabase* WorldDrawConsumer::database() const { return m_state->db; }

bool WorldDrawConsumer::drawEntity(AcDbObjectId id) {
  AcDbEntity* entity = nullptr;
  if (acdbOpenAcDbEntity(entity, id, AcDb::kForRead) != Acad::eOk) return false;
  const bool drawn = drawEntity(*entity);
  entity->close();
  return drawn;
}

bool WorldDrawConsumer::drawEntity(AcDbEntity& entity) {
  State& s = *m_state;
  s.block = BlockContext{};
  s.depth = 0;
  s.transforms.clear();
  s.identity = true;
  if (m_skipHidden && s.hidden(entity)) return false;
  m_current = entity.objectId();
  s.takeTraitsOf(entity);
  entity.worldDraw(this);
  return true;
}

AcGiWorldGeometry& WorldDrawConsumer::geometry() const { return const_cast<WorldDrawConsumer&>(*this); }
AcGiSubEntityTraits& WorldDrawConsumer::subEntityTraits() const { return const_cast<WorldDrawConsumer&>(*this); }

// ---- Traits --------------------------------------------------------------------------------
void WorldDrawConsumer::setColor(Adesk::UInt16 color) {
  m_state->traits.color = indexColor(color);
  m_state->styleValid = false;
}
void WorldDrawConsumer::setTrueColor(const AcCmEntityColor& color) {
  m_state->traits.color = color;
  m_state->styleValid = false;
}
void WorldDrawConsumer::setLayer(AcDbObjectId layerId) {
  m_state->traits.layer = layerId;
  m_state->styleValid = false;
}
void WorldDrawConsumer::setFillType(AcGiFillType fillType) {
  m_state->traits.fill = fillType;
  m_state->styleValid = false;
}
Adesk::UInt16 WorldDrawConsumer::color() const { return static_cast<Adesk::UInt16>(m_state->traits.color.colorIndex()); }
AcCmEntityColor WorldDrawConsumer::trueColor() const { return m_state->traits.color; }
AcDbObjectId WorldDrawConsumer::layerId() const { return m_state->traits.layer; }
AcGiFillType WorldDrawConsumer::fillType() const { return m_state->traits.fill; }

// ---- Transforms and nested drawables ----------------------------------------------------------
void WorldDrawConsumer::getModelToWorldTransform(AcGeMatrix3d& xform) const { xform = m_state->xform(); }

Adesk::Boolean WorldDrawConsumer::pushModelTransform(const AcGeMatrix3d& xMat) {
  State& s = *m_state;
  s.transforms.push_back(s.xform() * xMat);
  s.identity = false;
  return Adesk::kTrue;
}

Adesk::Boolean WorldDrawConsumer::popModelTransform() {
  State& s = *m_state;
  if (s.transforms.empty()) return Adesk::kFalse;
  s.transforms.pop_back();
  s.identity = s.transforms.empty();
  return Adesk::kTrue;
}

Adesk::Boolean WorldDrawConsumer::draw(AcGiDrawable* pDrawable) const {
  State& s = *m_state;
  if (!pDrawable || s.depth >= kMaxBlockNesting) return Adesk::kFalse;
  auto* self = const_cast<WorldDrawConsumer*>(this);
  AcDbEntity* entity = AcDbEntity::cast(pDrawable);
  const Traits savedTraits = s.traits;
  const BlockContext savedBlock = s.block;
  if (entity) {
    // The drawer's resolved colour and layer are what "by block" and layer "0" mean inside.
    BlockContext inner{true, s.resolve(s.traits.color), s.effectiveLayer(s.traits.layer)};
    s.block = inner;
    if (m_skipHidden && s.hidden(*entity)) {
      s.block = savedBlock;
      return Adesk::kTrue;
    }
    s.takeTraitsOf(*entity);
  }
  ++s.depth;
  const Adesk::Boolean done = pDrawable->worldDraw(self);
  --s.depth;
  s.traits = savedTraits;
  s.block = savedBlock;
  s.styleValid = false;
  return done;
}

// ---- Primitives ------------------------------------------------------------------------------
Adesk::Boolean WorldDrawConsumer::polyline(Adesk::UInt32 nbPoints, const AcGePoint3d* pVertexList, const AcGeVector3d*,
                                           Adesk::LongPtr) const {
  State& s = *m_state;
  if (nbPoints == 0 || !pVertexList) return Adesk::kFalse;
  auto* self = const_cast<WorldDrawConsumer*>(this);
  if (s.identity) {
    self->onPolyline(pVertexList, nbPoints, false, s.currentStyle());
    return Adesk::kTrue;
  }
  s.points.clear();
  for (Adesk::UInt32 i = 0; i < nbPoints; ++i) s.points.push_back(s.place(pVertexList[i]));
  self->onPolyline(s.points.data(), s.points.size(), false, s.currentStyle());
  return Adesk::kTrue;
}

Adesk::Boolean WorldDrawConsumer::polygon(Adesk::UInt32 nbPoints, const AcGePoint3d* pVertexList) const {
  State& s = *m_state;
  if (nbPoints == 0 || !pVertexList) return Adesk::kFalse;
  auto* self = const_cast<WorldDrawConsumer*>(this);
  if (s.currentStyle().filled) {
    auto& loops = s.loopBuffer(1);
    for (Adesk::UInt32 i = 0; i < nbPoints; ++i) loops[0].push_back(s.place(pVertexList[i]));
    self->onFill(loops, s.currentStyle());
    return Adesk::kTrue;
  }
  s.points.clear();
  for (Adesk::UInt32 i = 0; i < nbPoints; ++i) s.points.push_back(s.place(pVertexList[i]));
  self->onPolyline(s.points.data(), s.points.size(), true, s.currentStyle());
  return Adesk::kTrue;
}

Adesk::Boolean WorldDrawConsumer::shell(Adesk::UInt32 nbVertex, const AcGePoint3d* pVertexList,
                                        Adesk::UInt32 faceListSize, const Adesk::Int32* pFaceList) const {
  State& s = *m_state;
  if (!pVertexList || !pFaceList) return Adesk::kFalse;
  // Count the loops, checking every index before anything is drawn.
  std::size_t count = 0;
  for (Adesk::UInt32 at = 0; at < faceListSize;) {
    const std::int64_t n = std::abs(static_cast<std::int64_t>(pFaceList[at]));
    if (n == 0 || at + n >= faceListSize) return Adesk::kFalse;
    for (std::int64_t k = 1; k <= n; ++k)
      if (pFaceList[at + k] < 0 || static_cast<Adesk::UInt32>(pFaceList[at + k]) >= nbVertex) return Adesk::kFalse;
    ++count;
    at += static_cast<Adesk::UInt32>(n) + 1;
  }
  auto& loops = s.loopBuffer(count);
  std::size_t loop = 0;
  for (Adesk::UInt32 at = 0; at < faceListSize; ++loop) {
    const auto n = static_cast<Adesk::UInt32>(std::abs(static_cast<std::int64_t>(pFaceList[at])));
    for (Adesk::UInt32 k = 1; k <= n; ++k) loops[loop].push_back(s.place(pVertexList[pFaceList[at + k]]));
    at += n + 1;
  }
  auto* self = const_cast<WorldDrawConsumer*>(this);
  if (s.currentStyle().filled) {
    self->onFill(loops, s.currentStyle());
  } else {
    for (const auto& l : loops) self->onPolyline(l.data(), l.size(), true, s.currentStyle());
  }
  return Adesk::kTrue;
}

Adesk::Boolean WorldDrawConsumer::circle(const AcGePoint3d& center, double radius, const AcGeVector3d& normal) const {
  if (normal.isZeroLength()) return Adesk::kFalse;
  // From the X axis of the circle's own system, where its angles start.
  const AcGeVector3d n = normal.normal();
  return circularArc(center, radius, n, AcGeMatrix3d::planeToWorld(n) * AcGeVector3d::kXAxis, contura::ge::kTwoPi);
}

void WorldDrawConsumer::emitArc(const AcGePoint3d& center, double radius, const AcGeVector3d& n, const AcGeVector3d& u,
                                const AcGeVector3d& v, double sweep) {
  State& s = *m_state;
  if (s.identity) {
    onArc(center, radius, n, u, sweep, s.currentStyle());
    return;
  }
  const AcGeVector3d wu = s.turn(u), wv = s.turn(v);
  const double lu = wu.length(), lv = wv.length();
  if (lu > 0.0 && lv > 0.0 && std::fabs(lu - lv) <= kCircularTol * lu &&
      std::fabs(wu.dotProduct(wv)) <= kCircularTol * lu * lv) {
    onArc(s.place(center), radius * lu, wu.crossProduct(wv).normal(), wu / lu, sweep, s.currentStyle());
    return;
  }
  // Stretched unevenly: an ellipse, cut into pieces.
  const int pieces = arcPieceCount(sweep, radius * std::max(lu, lv), m_deviation);
  s.points.clear();
  const AcGePoint3d c = s.place(center);
  for (int k = 0; k <= pieces; ++k) {
    const double t = sweep * k / pieces;
    s.points.push_back(c + wu * (radius * std::cos(t)) + wv * (radius * std::sin(t)));
  }
  onPolyline(s.points.data(), s.points.size(), false, s.currentStyle());
}

Adesk::Boolean WorldDrawConsumer::circularArc(const AcGePoint3d& center, double radius, const AcGeVector3d& normal,
                                              const AcGeVector3d& startVector, double sweepAngle,
                                              AcGiArcType arcType) const {
  const double normalLength = normal.length();
  if (!(normalLength > 0.0) || !(radius >= 0.0)) return Adesk::kFalse;
  const AcGeVector3d n = normal / normalLength;
  // The start direction made perpendicular to the normal.
  AcGeVector3d u = startVector - n * n.dotProduct(startVector);
  const double startLength = u.length();
  if (!(startLength > kDirectionTol * startVector.length())) return Adesk::kFalse;
  u /= startLength;
  const AcGeVector3d v = n.crossProduct(u);
  const double sweep = std::clamp(sweepAngle, -contura::ge::kTwoPi, contura::ge::kTwoPi);
  auto* self = const_cast<WorldDrawConsumer*>(this);
  if (sweep < 0.0) {
    // Clockwise: the same points counter-clockwise from the other end.
    const AcGeVector3d endU = u * std::cos(sweep) + v * std::sin(sweep);
    self->emitArc(center, radius, n, endU, n.crossProduct(endU), -sweep);
  } else {
    self->emitArc(center, radius, n, u, v, sweep);
  }
  if (arcType != kAcGiArcSimple && std::fabs(sweep) < contura::ge::kTwoPi) {
    const AcGePoint3d a = center + u * radius;
    const AcGePoint3d b = center + (u * std::cos(sweep) + v * std::sin(sweep)) * radius;
    const AcGePoint3d sector[3] = {a, center, b};
    const AcGePoint3d chord[2] = {a, b};
    if (arcType == kAcGiArcSector) polyline(3, sector);
    else polyline(2, chord);
  }
  return Adesk::kTrue;
}

Adesk::Boolean WorldDrawConsumer::text(const AcGePoint3d& position, const AcGeVector3d& normal,
                                       const AcGeVector3d& direction, double height, double width, double oblique,
                                       const ACHAR* pMsg) const {
  if (!pMsg || !*pMsg || normal.isZeroLength() || direction.isZeroLength()) return Adesk::kFalse;
  State& s = *m_state;
  const AcGeVector3d along = direction.normal();
  const AcGeVector3d upModel = normal.normal().crossProduct(along);
  const AcGeVector3d wAlong = s.turn(along), wUp = s.turn(upModel);
  const double xs = wAlong.length(), ys = wUp.length();
  if (xs == 0.0 || ys == 0.0) return Adesk::kFalse;
  DrawnText t;
  t.position = s.place(position);
  t.direction = wAlong / xs;
  t.up = wUp / ys;
  t.height = height * ys;
  t.widthFactor = width * xs / ys;
  t.oblique = oblique;
  t.text = pMsg;
  t.boxWidth = contura::ge::textBoxWidth(t.text, height, width) * xs;
  const_cast<WorldDrawConsumer*>(this)->onText(t, s.currentStyle());
  return Adesk::kTrue;
}

Adesk::Boolean WorldDrawConsumer::polyPoint(Adesk::UInt32 nbPoints, const AcGePoint3d* pVertexList) const {
  State& s = *m_state;
  if (nbPoints == 0 || !pVertexList) return Adesk::kFalse;
  s.points.clear();
  for (Adesk::UInt32 i = 0; i < nbPoints; ++i) s.points.push_back(s.place(pVertexList[i]));
  const_cast<WorldDrawConsumer*>(this)->onPoints(s.points.data(), s.points.size(), s.currentStyle());
  return Adesk::kTrue;
}

Adesk::Boolean WorldDrawConsumer::infinite(const AcGePoint3d& a, const AcGePoint3d& b, bool ray) const {
  State& s = *m_state;
  const AcGePoint3d wa = s.place(a), wb = s.place(b);
  const AcGeVector3d dir = wb - wa;
  if (dir.isZeroLength()) return Adesk::kFalse;
  const_cast<WorldDrawConsumer*>(this)->onInfiniteLine(wa, dir.normal(), ray, s.currentStyle());
  return Adesk::kTrue;
}

Adesk::Boolean WorldDrawConsumer::xline(const AcGePoint3d& one, const AcGePoint3d& other) const {
  return infinite(one, other, false);
}
Adesk::Boolean WorldDrawConsumer::ray(const AcGePoint3d& base, const AcGePoint3d& other) const {
  return infinite(base, other, true);
}

// ---- Lightweight polylines -----------------------------------------------------------------------
// A polyline's segment as the polyline gives it, in its own plane: the arc object only for a
// wide arc (a narrow one is drawn from its vertices and bulge, through the bulge circle).
struct detail::PlineSegment {
  AcDbPolyline::SegType type = AcDbPolyline::kEmpty;
  AcGeLineSeg2d line;
  AcGeCircArc2d arc;
  AcGePoint2d from, to;
  double bulge = 0.0;
  double startWidth = 0.0, endWidth = 0.0;
  bool wide() const { return startWidth > 0.0 || endWidth > 0.0; }
};

namespace {
using detail::PlineSegment;

bool readSegment(const AcDbPolyline& pl, unsigned i, PlineSegment& seg) {
  seg.type = pl.segType(i);
  pl.getWidthsAt(i, seg.startWidth, seg.endWidth);
  if (seg.type == AcDbPolyline::kLine) return pl.getLineSegAt(i, seg.line) == Acad::eOk;
  if (seg.type != AcDbPolyline::kArc) return true;
  if (seg.wide()) return pl.getArcSegAt(i, seg.arc) == Acad::eOk;
  const unsigned next = i + 1 == pl.numVerts() ? 0 : i + 1;
  return pl.getPointAt(i, seg.from) == Acad::eOk && pl.getPointAt(next, seg.to) == Acad::eOk &&
         pl.getBulgeAt(i, seg.bulge) == Acad::eOk;
}

// The arc's angles counter-clockwise: from `from` through `sweep`.
void ccwAngles(const AcGeCircArc2d& arc, double& from, double& sweep) {
  const AcGePoint2d c = arc.center();
  const AcGePoint2d a = arc.isClockWise() ? arc.endPoint() : arc.startPoint();
  from = std::atan2(a.y - c.y, a.x - c.x);
  sweep = arc.sweep();
}

}  // namespace

void WorldDrawConsumer::widePlineSegment(const AcGeMatrix3d& toModel, const detail::PlineSegment& seg) {
  State& s = *m_state;
  auto& loops = s.loopBuffer(1);
  auto& loop = loops[0];
  const double h0 = seg.startWidth / 2.0, h1 = seg.endWidth / 2.0;
  auto put = [&](double x, double y) { loop.push_back(s.place(toModel * AcGePoint3d(x, y, 0.0))); };
  if (seg.type == AcDbPolyline::kLine) {
    const AcGePoint2d a = seg.line.startPoint(), b = seg.line.endPoint();
    AcGeVector2d d = b - a;
    const double len = d.length();
    if (len == 0.0) return;
    const AcGeVector2d left(-d.y / len, d.x / len);
    put(a.x + left.x * h0, a.y + left.y * h0);
    put(b.x + left.x * h1, b.y + left.y * h1);
    put(b.x - left.x * h1, b.y - left.y * h1);
    put(a.x - left.x * h0, a.y - left.y * h0);
  } else {
    double from = 0.0, sweep = 0.0;
    ccwAngles(seg.arc, from, sweep);
    const bool reversed = seg.arc.isClockWise();
    const AcGePoint2d c = seg.arc.center();
    const double r = seg.arc.radius();
    const int pieces = arcPieceCount(sweep, r + std::max(h0, h1), m_deviation);
    // Width runs from the segment's start to its end along the direction of travel.
    auto halfAt = [&](int k) {
      const double t = static_cast<double>(k) / pieces;
      return reversed ? h1 + (h0 - h1) * t : h0 + (h1 - h0) * t;
    };
    for (int k = 0; k <= pieces; ++k) {
      const double a = from + sweep * k / pieces, rr = r + halfAt(k);
      put(c.x + rr * std::cos(a), c.y + rr * std::sin(a));
    }
    for (int k = pieces; k >= 0; --k) {
      const double a = from + sweep * k / pieces, rr = std::max(0.0, r - halfAt(k));
      put(c.x + rr * std::cos(a), c.y + rr * std::sin(a));
    }
  }
  DrawStyle style = s.currentStyle();
  style.filled = true;
  style.pattern = false;
  onFill(loops, style);
}

Adesk::Boolean WorldDrawConsumer::pline(const AcDbPolyline& pl, Adesk::UInt32 fromIndex, Adesk::UInt32 numSegs) const {
  State& s = *m_state;
  auto* self = const_cast<WorldDrawConsumer*>(this);
  const unsigned n = pl.numVerts();
  if (n == 0) return Adesk::kFalse;
  // The polyline's plane: its vertices at its elevation in the system of its normal.
  const AcGeVector3d planeNormal = pl.normal();
  AcGeMatrix3d toModel = AcGeMatrix3d::translation(AcGeVector3d(0.0, 0.0, pl.elevation()));
  if (planeNormal != AcGeVector3d::kZAxis) toModel.preMultiplyBy(AcGeMatrix3d::planeToWorld(planeNormal));
  const AcGeVector3d planeX = toModel * AcGeVector3d::kXAxis;
  const AcGeVector3d planeY = toModel * AcGeVector3d::kYAxis;
  auto model = [&](const AcGePoint2d& p) { return toModel * AcGePoint3d(p.x, p.y, 0.0); };

  if (n == 1) {
    AcGePoint2d p;
    pl.getPointAt(0u, p);
    const AcGePoint3d dot = model(p);
    return polyline(1, &dot);
  }
  const unsigned segments = pl.isClosed() ? n : n - 1;
  const unsigned last = numSegs == 0 ? segments : std::min(segments, fromIndex + numSegs);
  const bool wide = pl.hasWidth();
  s.points.clear();
  // A closed polyline of lines only, drawn whole in one run, arrives as one closed line.
  bool oneClosedRun = pl.isClosed() && !wide && fromIndex == 0 && last == segments;
  auto flush = [&](bool closed) {
    if (s.points.size() >= 2) {
      self->onPolyline(s.points.data(), s.points.size(), closed, s.currentStyle());
      oneClosedRun = false;
    }
    s.points.clear();
  };
  detail::PlineSegment seg;
  for (unsigned i = fromIndex; i < last; ++i) {
    if (!readSegment(pl, i, seg)) continue;
    if (seg.type == AcDbPolyline::kCoincident || seg.type == AcDbPolyline::kEmpty) continue;
    if (wide && seg.wide()) {
      flush(false);
      self->widePlineSegment(toModel, seg);
      continue;
    }
    if (seg.type == AcDbPolyline::kLine) {
      const AcGePoint3d a = s.place(model(seg.line.startPoint()));
      if (s.points.empty() || !(s.points.back() == a)) {
        flush(false);
        s.points.push_back(a);
      }
      s.points.push_back(s.place(model(seg.line.endPoint())));
      continue;
    }
    flush(false);
    oneClosedRun = false;
    // Counter-clockwise about the plane's normal from the end it starts at that way.
    AcGePoint2d c;
    double r = 0.0;
    contura::ge::bulgeCircle(seg.from, seg.to, seg.bulge, c, r);
    const AcGePoint2d a = seg.bulge < 0.0 ? seg.to : seg.from;
    if (!(r > 0.0)) continue;
    const double cu = (a.x - c.x) / r, su = (a.y - c.y) / r;
    const AcGeVector3d u = planeX * cu + planeY * su;
    const AcGeVector3d v = planeX * -su + planeY * cu;
    self->emitArc(model(c), r, planeNormal, u, v, std::fabs(contura::ge::includedAngleFromBulge(seg.bulge)));
  }
  if (oneClosedRun && s.points.size() >= 4 && s.points.front() == s.points.back()) {
    s.points.pop_back();  // the closing vertex repeats the first
    flush(true);
  } else {
    flush(false);
  }
  return Adesk::kTrue;
}

// ---- Extents of what an entity draws ---------------------------------------------------------------
namespace {

void addArcExtremes(const AcGePoint3d& c, double r, const AcGeVector3d& u, const AcGeVector3d& v, double sweep,
                    AcGePoint3d& lo, AcGePoint3d& hi) {
  auto add = [&](double t) {
    const AcGePoint3d p = c + (u * std::cos(t) + v * std::sin(t)) * r;
    lo = AcGePoint3d(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
    hi = AcGePoint3d(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
  };
  add(0.0);
  add(sweep);
  // Each coordinate is r (u_k cos t + v_k sin t): extreme where t = atan2(v_k, u_k) (+ pi).
  for (int k = 0; k < 3; ++k) {
    const double phi = std::atan2(v[k], u[k]);
    for (double t : {phi, phi + contura::ge::kPi}) {
      const double along = contura::ge::normalizeAngle(t);
      if (along <= sweep) add(along);
    }
  }
}

class ExtentsConsumer final : public WorldDrawConsumer {
public:
  // Layers do not change a box: none are read.
  ExtentsConsumer() : WorldDrawConsumer(nullptr) { setSkipHiddenLayers(false); }
  AcGePoint3d lo{HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi{-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
  bool any() const { return lo.x <= hi.x; }

private:
  void add(const AcGePoint3d& p) {
    lo = AcGePoint3d(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
    hi = AcGePoint3d(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
  }
  void onPolyline(const AcGePoint3d* points, std::size_t count, bool, const DrawStyle&) override {
    for (std::size_t i = 0; i < count; ++i) add(points[i]);
  }
  void onArc(const AcGePoint3d& center, double radius, const AcGeVector3d& normal, const AcGeVector3d& startVector,
             double sweep, const DrawStyle&) override {
    addArcExtremes(center, radius, startVector, normal.crossProduct(startVector), sweep, lo, hi);
  }
  void onFill(const std::vector<std::vector<AcGePoint3d>>& loops, const DrawStyle&) override {
    for (const auto& loop : loops)
      for (const AcGePoint3d& p : loop) add(p);
  }
  void onText(const DrawnText& t, const DrawStyle&) override {
    AcGePoint3d corners[4];
    textCorners(t, corners);
    for (const AcGePoint3d& p : corners) add(p);
  }
  void onPoints(const AcGePoint3d* points, std::size_t count, const DrawStyle&) override {
    for (std::size_t i = 0; i < count; ++i) add(points[i]);
  }
  void onInfiniteLine(const AcGePoint3d&, const AcGeVector3d&, bool, const DrawStyle&) override {}
};

}  // namespace

void textCorners(const DrawnText& t, AcGePoint3d corners[4]) {
  const double bottom = -contura::ge::kTextDescent * t.height, top = t.height;
  const double shear = std::tan(t.oblique);
  int k = 0;
  for (double y : {bottom, top})
    for (double x : {0.0, t.boxWidth}) corners[k++] = t.position + t.direction * (x + y * shear) + t.up * y;
  std::swap(corners[2], corners[3]);  // around the box: bottom left, bottom right, top right, top left
}

bool drawnExtents(AcDbEntity& entity, AcGePoint3d& minPoint, AcGePoint3d& maxPoint) {
  ExtentsConsumer consumer;
  consumer.drawEntity(entity);
  if (!consumer.any()) return false;
  minPoint = consumer.lo;
  maxPoint = consumer.hi;
  return true;
}

}  // namespace contura::db
