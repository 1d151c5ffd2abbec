// Entity values to database entities and back: one pair of functions per type row.
#include "entity_db.h"

#include "drawing_common.h"

#include <contura/db/database_access.h>
#include <contura/db/solid_data.h>

#include <dbelipse.h>
#include <dbents.h>
#include <dbhatch.h>
#include <dbmtext.h>
#include <dbpl.h>
#include <dbspline.h>

#include <algorithm>

namespace contura::dxf::detail {

namespace cdb = contura::db;

namespace {

constexpr std::size_t kModellerLine = 255;


AcGeVector3d unit(const Point3& p) {
  AcGeVector3d v = toVector(p);
  double len = v.length();
  return len > 0 ? v / len : AcGeVector3d(0, 0, 1);
}

std::int16_t attributeFlagsOf(bool invisible, bool constant, bool verify, bool preset) {
  return std::int16_t((invisible ? kAttributeInvisible : 0) | (constant ? kAttributeConstant : 0) |
                      (verify ? kAttributeVerify : 0) | (preset ? kAttributePreset : 0));
}

std::string styleNameOf(AcDbObjectId style, FromDatabase& db) {
  return style.isNull() ? "Standard" : db.nameOf(style);
}

// The modeller (ACIS) text of a REGION or 3DSOLID: its 1 lines, each with its 3
// continuations; the other tags stay in the record's extras.
std::vector<std::string> takeModellerLines(RawTags& extras) {
  std::vector<std::string> lines;
  RawTags rest;
  for (RawTag& t : extras) {
    if (t.code == 1) lines.push_back(std::move(t.value));
    else if (t.code == 3 && !lines.empty()) lines.back() += t.value;
    else rest.push_back(std::move(t));
  }
  extras = std::move(rest);
  return lines;
}

// The modeller text put back at the end of its subclass (after its version tag), in lines
// of at most kModellerLine bytes.
RawTags withModellerLines(const RawTags& extras, const std::vector<std::string>& lines) {
  RawTags out;
  bool placed = false;
  auto emitLines = [&] {
    for (const std::string& l : lines) {
      std::string_view rest = l;
      out.push_back({1, std::string(rest.substr(0, kModellerLine))});
      rest.remove_prefix(std::min(rest.size(), kModellerLine));
      while (!rest.empty()) {
        out.push_back({3, std::string(rest.substr(0, kModellerLine))});
        rest.remove_prefix(std::min(rest.size(), kModellerLine));
      }
    }
    placed = true;
  };
  bool inModeller = false;
  for (const RawTag& t : extras) {
    if (t.code == 100 && inModeller && !placed) emitLines();
    if (t.code == 100) inModeller = t.value == "AcDbModelerGeometry";
    out.push_back(t);
  }
  if (!placed) {
    if (!inModeller) {
      out.push_back({100, "AcDbModelerGeometry"});
      out.push_back({70, "1"});
    }
    emitLines();
  }
  return out;
}

}  // namespace

void setText(AcDbText& t, const TextEntity& e, AcDbObjectId style) {
  t.setPosition(toPoint(e.position));
  if (e.hasAlignment) t.setAlignmentPoint(toPoint(e.alignment));
  t.setHeight(e.height);
  t.setTextString(e.text.c_str());
  t.setRotation(toRadians(e.rotation));
  if (e.widthFactor > 0) t.setWidthFactor(e.widthFactor);
  t.setOblique(toRadians(e.oblique));
  t.setTextStyle(style);
  t.mirrorInX(e.generation & kTextBackward);
  t.mirrorInY(e.generation & kTextUpsideDown);
  if (auto mode = enumValue(e.horizontal, AcDb::kTextLeft, AcDb::kTextFit)) t.setHorizontalMode(*mode);
  if (auto mode = enumValue(e.vertical, AcDb::kTextBase, AcDb::kTextTop)) t.setVerticalMode(*mode);
  t.setThickness(e.thickness);
  t.setNormal(unit(e.normal));
}

void textValue(const AcDbText* t, TextEntity& e, FromDatabase& db) {
  e.position = fromPoint(t->position());
  // A text that is not left-aligned has its alignment point; others keep one they were given.
  e.hasAlignment = !t->isDefaultAlignment() || t->alignmentPoint() != AcGePoint3d(0, 0, 0);
  e.alignment = fromPoint(t->alignmentPoint());
  e.height = t->height();
  e.text = t->textStringConst();
  e.rotation = toDegrees(t->rotation());
  e.widthFactor = t->widthFactor();
  e.oblique = toDegrees(t->oblique());
  e.style = styleNameOf(t->textStyle(), db);
  e.generation = std::int16_t((t->isMirroredInX() ? kTextBackward : 0) | (t->isMirroredInY() ? kTextUpsideDown : 0));
  e.horizontal = std::int16_t(t->horizontalMode());
  e.vertical = std::int16_t(t->verticalMode());
  e.thickness = t->thickness();
  e.normal = fromVector(t->normal());
}

// --- to the database ------------------------------------------------------------------------

std::unique_ptr<AcDbEntity> lineToDb(Entity& e, ToDatabase&) {
  auto l = std::make_unique<AcDbLine>(toPoint(e.line.start), toPoint(e.line.end));
  l->setThickness(e.line.thickness);
  l->setNormal(unit(e.line.normal));
  return l;
}

std::unique_ptr<AcDbEntity> pointToDb(Entity& e, ToDatabase&) {
  auto p = std::make_unique<AcDbPoint>(toPoint(e.point.position));
  p->setThickness(e.point.thickness);
  p->setNormal(unit(e.point.normal));
  p->setEcsRotation(toRadians(e.point.xAxisAngle));
  return p;
}

std::unique_ptr<AcDbEntity> circleToDb(Entity& e, ToDatabase&) {
  const CircleEntity& c = e.circle;
  if (c.isArc) {
    auto a = std::make_unique<AcDbArc>(toPoint(c.center), unit(c.normal), c.radius, toRadians(c.startAngle),
                                       toRadians(c.endAngle));
    a->setThickness(c.thickness);
    return a;
  }
  auto ci = std::make_unique<AcDbCircle>(toPoint(c.center), unit(c.normal), c.radius);
  ci->setThickness(c.thickness);
  return ci;
}

std::unique_ptr<AcDbEntity> solidToDb(Entity& e, ToDatabase&) {
  const Point3* p = e.solid.corners;
  auto s = std::make_unique<AcDbSolid>(toPoint(p[0]), toPoint(p[1]), toPoint(p[2]), toPoint(p[3]));
  s->setThickness(e.solid.thickness);
  s->setNormal(unit(e.solid.normal));
  return s;
}

std::unique_ptr<AcDbEntity> textToDb(Entity& e, ToDatabase& db) {
  const TextEntity& t = e.text;
  AcDbObjectId style = db.styleId(t.style);
  if (t.kind != TextEntity::Kind::AttributeDefinition) {
    auto x = std::make_unique<AcDbText>();
    setText(*x, t, style);
    return x;
  }
  auto d = std::make_unique<AcDbAttributeDefinition>();
  setText(*d, t, style);
  d->setTag(t.tag.c_str());
  d->setPrompt(t.prompt.c_str());
  d->setInvisible(t.attributeFlags & kAttributeInvisible);
  d->setConstant(t.attributeFlags & kAttributeConstant);
  d->setVerifiable(t.attributeFlags & kAttributeVerify);
  d->setPreset(t.attributeFlags & kAttributePreset);
  d->setFieldLength(Adesk::UInt16(t.fieldLength));
  return d;
}

std::unique_ptr<AcDbEntity> mtextToDb(Entity& e, ToDatabase& db) {
  const MTextEntity& m = e.mtext;
  auto x = std::make_unique<AcDbMText>();
  x->setLocation(toPoint(m.position));
  x->setNormal(unit(m.normal));
  if (m.hasXDirection) x->setDirection(toVector(m.xDirection));
  else if (m.hasRotation) x->setRotation(m.rotation);
  if (m.height > 0) x->setTextHeight(m.height);
  x->setWidth(m.width);
  if (auto at = enumValue(m.attachment, AcDbMText::kTopLeft, AcDbMText::kBottomRight)) x->setAttachment(*at);
  if (auto flow = enumValue(m.direction, AcDbMText::kLtoR, AcDbMText::kByStyle)) x->setFlowDirection(*flow);
  if (auto spacing = enumValue(m.lineSpacingStyle, AcDbMText::kAtLeast, AcDbMText::kExactly))
    x->setLineSpacingStyle(*spacing);
  x->setLineSpacingFactor(m.lineSpacingFactor);
  x->setTextStyle(db.styleId(m.style));
  x->setContents(m.text.c_str());
  return x;
}

std::unique_ptr<AcDbEntity> lwPolylineToDb(Entity& e, ToDatabase&) {
  const PolylineEntity& p = e.polyline;
  auto pl = std::make_unique<AcDbPolyline>(unsigned(p.vertices.size()));
  for (std::size_t i = 0; i < p.vertices.size(); ++i) {
    const PolylineVertex& v = p.vertices[i];
    pl->addVertexAt(unsigned(i), AcGePoint2d(v.point.x, v.point.y), v.bulge, v.startWidth, v.endWidth);
  }
  if (p.hasConstantWidth) pl->setConstantWidth(p.constantWidth);
  pl->setClosed(p.flags & kPolylineClosed);
  pl->setPlinegen(p.flags & kPolylineLinetypeGeneration);
  pl->setElevation(p.elevation);
  pl->setThickness(p.thickness);
  pl->setNormal(unit(p.normal));
  return pl;
}

std::unique_ptr<AcDbEntity> polylineToDb(Entity& e, ToDatabase&) {
  const PolylineEntity& p = e.polyline;
  auto pl = std::make_unique<AcDb2dPolyline>();
  AcDb::Poly2dType type = AcDb::k2dSimplePoly;
  if (p.flags & kPolylineCurveFit) type = AcDb::k2dFitCurvePoly;
  if (p.flags & kPolylineSplineFit) type = p.curveType == 5 ? AcDb::k2dQuadSplinePoly : AcDb::k2dCubicSplinePoly;
  pl->setPolyType(type);
  if (p.flags & kPolylineClosed) pl->makeClosed();
  if (p.flags & kPolylineLinetypeGeneration) pl->setLinetypeGenerationOn();
  pl->setDefaultStartWidth(p.defaultStartWidth);
  pl->setDefaultEndWidth(p.defaultEndWidth);
  pl->setElevation(p.elevation);
  pl->setThickness(p.thickness);
  pl->setNormal(unit(p.normal));
  return pl;
}

bool polylinePartsToDb(const Entity& e, ToDatabase& db, const AcDbObjectId& owner) {
  for (const PolylineVertex& v : e.polyline.vertices) {
    auto vx = std::make_unique<AcDb2dVertex>(toPoint(v.point), v.bulge, v.startWidth, v.endWidth);
    if (v.flags & kVertexSplineFrame) vx->setVertexType(AcDb::k2dSplineCtlVertex);
    else if (v.flags & kVertexSplineFit) vx->setVertexType(AcDb::k2dSplineFitVertex);
    else if (v.flags & kVertexCurveFit) vx->setVertexType(AcDb::k2dCurveFitVertex);
    if (v.flags & kVertexTangent) {
      vx->setTangent(toRadians(v.tangent));
      vx->useTangent();
    }
    if (!db.addPart(owner, std::move(vx), v.common, "VERTEX")) return false;
  }
  return true;
}

std::unique_ptr<AcDbEntity> ellipseToDb(Entity& e, ToDatabase&) {
  const EllipseEntity& x = e.ellipse;
  auto el = std::make_unique<AcDbEllipse>();
  el->set(toPoint(x.center), unit(x.normal), toVector(x.majorAxis), x.ratio);
  el->setStartParam(x.startParam);
  el->setEndParam(x.endParam);
  return el;
}

std::unique_ptr<AcDbEntity> splineToDb(Entity& e, ToDatabase&) {
  const SplineEntity& s = e.spline;
  auto sp = std::make_unique<AcDbSpline>();
  if (!s.controlPoints.empty()) {
    AcGePoint3dArray points;
    AcGeDoubleArray knots, weights;
    for (const Point3& q : s.controlPoints) points.append(toPoint(q));
    for (double k : s.knots) knots.append(k);
    for (double w : s.weights) weights.append(w);
    sp->setNurbsData(s.degree, (s.flags & kSplineRational) != 0, (s.flags & kSplineClosed) != 0,
                     (s.flags & kSplinePeriodic) != 0, points, knots, weights, s.controlTolerance, s.knotTolerance);
  }
  if (!s.fitPoints.empty()) {
    AcGePoint3dArray fit;
    for (const Point3& q : s.fitPoints) fit.append(toPoint(q));
    sp->setFitData(fit, s.degree, s.fitTolerance, toVector(s.startTangent), toVector(s.endTangent));
  }
  return sp;
}

std::unique_ptr<AcDbEntity> rayToDb(Entity& e, ToDatabase&) {
  std::unique_ptr<AcDbRay> r = e.ray.isXline ? std::make_unique<AcDbXline>() : std::make_unique<AcDbRay>();
  r->setBasePoint(toPoint(e.ray.base));
  r->setUnitDir(toVector(e.ray.direction));
  return r;
}

std::unique_ptr<AcDbEntity> insertToDb(Entity& e, ToDatabase& db) {
  const InsertEntity& in = e.insert;
  std::unique_ptr<AcDbBlockReference> ref;
  if (in.isMInsert || in.columns > 1 || in.rows > 1) {
    auto m = std::make_unique<AcDbMInsertBlock>();
    m->setColumns(Adesk::UInt16(std::max<int>(1, in.columns)));
    m->setRows(Adesk::UInt16(std::max<int>(1, in.rows)));
    m->setColumnSpacing(in.columnSpacing);
    m->setRowSpacing(in.rowSpacing);
    ref = std::move(m);
  } else {
    ref = std::make_unique<AcDbBlockReference>();
  }
  ref->setBlockTableRecord(db.blockId(in.block));
  ref->setPosition(toPoint(in.position));
  ref->setScaleFactors(AcGeScale3d(in.scale.x, in.scale.y, in.scale.z));
  ref->setRotation(toRadians(in.rotation));
  ref->setNormal(unit(in.normal));
  return ref;
}

bool insertPartsToDb(const Entity& e, ToDatabase& db, const AcDbObjectId& owner) {
  for (const InsertEntity::Attribute& a : e.insert.attributes) {
    auto at = std::make_unique<AcDbAttribute>();
    setText(*at, a.text, db.styleId(a.text.style));
    at->setTag(a.text.tag.c_str());
    cdb::setAttributeFlags(*at, a.text.attributeFlags);
    at->setFieldLength(Adesk::UInt16(a.text.fieldLength));
    if (!db.addPart(owner, std::move(at), a.common, "ATTRIB")) return false;
  }
  return true;
}

std::unique_ptr<AcDbEntity> hatchToDb(Entity& e, ToDatabase& db) {
  auto hatch = std::make_unique<AcDbHatch>();
  cdb::setHatchData(*hatch, hatchDataOf(e.hatch, [&db](std::uint64_t h) { return db.idOf(h); }));
  return hatch;
}

// A region or solid with modeller text; without, it stays as read.
std::unique_ptr<AcDbEntity> regionToDb(Entity& e, ToDatabase&) {
  RawTags extras = e.common.extras;
  std::vector<std::string> lines = takeModellerLines(extras);
  if (lines.empty()) return nullptr;
  e.common.extras = std::move(extras);
  auto region = std::make_unique<AcDbRegion>();
  cdb::RegionData data;
  data.modellerData = std::move(lines);
  cdb::setRegionData(*region, std::move(data));
  return region;
}

std::unique_ptr<AcDbEntity> solid3dToDb(Entity& e, ToDatabase&) {
  RawTags extras = e.common.extras;
  std::vector<std::string> lines = takeModellerLines(extras);
  if (lines.empty()) return nullptr;
  e.common.extras = std::move(extras);
  auto solid = std::make_unique<AcDb3dSolid>();
  cdb::SolidData data;
  data.kind = cdb::SolidData::kModeller;
  data.modellerData = std::move(lines);
  cdb::setSolidData(*solid, std::move(data));
  return solid;
}

// --- from the database ----------------------------------------------------------------------

bool lineFromDb(AcDbEntity* ent, Entity& e, FromDatabase&) {
  auto* l = AcDbLine::cast(ent);
  e.kind = Entity::Kind::Line;
  e.line = {fromPoint(l->startPoint()), fromPoint(l->endPoint()), l->thickness(), fromVector(l->normal())};
  return true;
}

bool pointFromDb(AcDbEntity* ent, Entity& e, FromDatabase&) {
  auto* p = AcDbPoint::cast(ent);
  e.kind = Entity::Kind::Point;
  e.point = {fromPoint(p->position()), p->thickness(), fromVector(p->normal()), toDegrees(p->ecsRotation())};
  return true;
}

bool arcFromDb(AcDbEntity* ent, Entity& e, FromDatabase&) {
  auto* a = AcDbArc::cast(ent);
  e.kind = Entity::Kind::Circle;
  e.circle = {fromPoint(a->center()), a->radius(), a->thickness(), fromVector(a->normal()), true,
              toDegrees(a->startAngle()), toDegrees(a->endAngle())};
  return true;
}

bool circleFromDb(AcDbEntity* ent, Entity& e, FromDatabase&) {
  auto* c = AcDbCircle::cast(ent);
  e.kind = Entity::Kind::Circle;
  e.circle = {fromPoint(c->center()), c->radius(), c->thickness(), fromVector(c->normal()), false, 0, 0};
  return true;
}

bool solidFromDb(AcDbEntity* ent, Entity& e, FromDatabase&) {
  auto* s = AcDbSolid::cast(ent);
  e.kind = Entity::Kind::Solid;
  for (int i = 0; i < 4; ++i) {
    AcGePoint3d q;
    s->getPointAt(Adesk::UInt16(i), q);
    e.solid.corners[i] = fromPoint(q);
  }
  e.solid.thickness = s->thickness();
  e.solid.normal = fromVector(s->normal());
  return true;
}

// TEXT, and an attribute outside a block reference (which a file can hold only as a text).
bool textFromDb(AcDbEntity* ent, Entity& e, FromDatabase& db) {
  e.kind = Entity::Kind::Text;
  textValue(AcDbText::cast(ent), e.text, db);
  return true;
}

bool attributeDefinitionFromDb(AcDbEntity* ent, Entity& e, FromDatabase& db) {
  auto* d = AcDbAttributeDefinition::cast(ent);
  e.kind = Entity::Kind::Text;
  e.text.kind = TextEntity::Kind::AttributeDefinition;
  textValue(d, e.text, db);
  e.text.tag = d->tagConst();
  e.text.prompt = d->promptConst();
  e.text.attributeFlags = attributeFlagsOf(d->isInvisible(), d->isConstant(), d->isVerifiable(), d->isPreset());
  e.text.fieldLength = std::int16_t(d->fieldLength());
  return true;
}

bool mtextFromDb(AcDbEntity* ent, Entity& e, FromDatabase& db) {
  auto* m = AcDbMText::cast(ent);
  e.kind = Entity::Kind::MText;
  MTextEntity& x = e.mtext;
  x.position = fromPoint(m->location());
  x.height = m->textHeight();
  x.width = m->width();
  x.attachment = std::int16_t(m->attachment());
  x.direction = std::int16_t(m->flowDirection());
  x.text = m->contentsConst();
  x.style = styleNameOf(m->textStyle(), db);
  x.normal = fromVector(m->normal());
  x.xDirection = fromVector(m->direction());
  x.hasXDirection = true;
  x.lineSpacingStyle = std::int16_t(m->lineSpacingStyle());
  x.lineSpacingFactor = m->lineSpacingFactor();
  return true;
}

bool lwPolylineFromDb(AcDbEntity* ent, Entity& e, FromDatabase&) {
  auto* pl = AcDbPolyline::cast(ent);
  e.kind = Entity::Kind::Polyline;
  PolylineEntity& x = e.polyline;
  x.lightweight = true;
  x.flags = std::int16_t((pl->isClosed() ? kPolylineClosed : 0) | (pl->hasPlinegen() ? kPolylineLinetypeGeneration : 0));
  double width = 0;
  if (pl->getConstantWidth(width) == Acad::eOk && width != 0) {
    x.hasConstantWidth = true;
    x.constantWidth = width;
  }
  x.elevation = pl->elevation();
  x.thickness = pl->thickness();
  x.normal = fromVector(pl->normal());
  x.vertices.resize(pl->numVerts());
  for (unsigned i = 0; i < pl->numVerts(); ++i) {
    PolylineVertex& v = x.vertices[i];
    AcGePoint2d q;
    pl->getPointAt(i, q);
    v.point = {q.x, q.y, 0};
    pl->getBulgeAt(i, v.bulge);
    if (!x.hasConstantWidth) pl->getWidthsAt(i, v.startWidth, v.endWidth);
  }
  return true;
}

namespace {

void vertexValue(const AcDb2dVertex& v, PolylineVertex& pv) {
  pv.point = fromPoint(v.position());
  pv.bulge = v.bulge();
  pv.startWidth = v.startWidth();
  pv.endWidth = v.endWidth();
  switch (v.vertexType()) {
    case AcDb::k2dSplineCtlVertex: pv.flags = kVertexSplineFrame; break;
    case AcDb::k2dSplineFitVertex: pv.flags = kVertexSplineFit; break;
    case AcDb::k2dCurveFitVertex: pv.flags = kVertexCurveFit; break;
    default: break;
  }
  if (v.isTangentUsed()) {
    pv.flags |= kVertexTangent;
    pv.tangent = toDegrees(v.tangent());
  }
}

}  // namespace

bool polylineFromDb(AcDbEntity* ent, Entity& e, FromDatabase& db) {
  auto* p2 = AcDb2dPolyline::cast(ent);
  e.kind = Entity::Kind::Polyline;
  PolylineEntity& x = e.polyline;
  x.lightweight = false;
  std::int16_t flags = p2->isClosed() ? kPolylineClosed : 0;
  switch (p2->polyType()) {
    case AcDb::k2dFitCurvePoly: flags |= kPolylineCurveFit; break;
    case AcDb::k2dQuadSplinePoly: flags |= kPolylineSplineFit; x.curveType = 5; break;
    case AcDb::k2dCubicSplinePoly: flags |= kPolylineSplineFit; x.curveType = 6; break;
    default: break;
  }
  if (p2->isLinetypeGenerationOn()) flags |= kPolylineLinetypeGeneration;
  x.flags = flags;
  x.defaultStartWidth = p2->defaultStartWidth();
  x.defaultEndWidth = p2->defaultEndWidth();
  x.elevation = p2->elevation();
  x.thickness = p2->thickness();
  x.normal = fromVector(p2->normal());
  std::unique_ptr<AcDbObjectIterator> it(p2->vertexIterator());
  for (; it && !it->done(); it->step()) {
    Reading<AcDb2dVertex> v(it->objectId());
    if (!v) continue;
    PolylineVertex& pv = x.vertices.emplace_back();
    db.commonOf(v.get(), pv.common);
    vertexValue(*v.get(), pv);
  }
  return true;
}

bool ellipseFromDb(AcDbEntity* ent, Entity& e, FromDatabase&) {
  auto* el = AcDbEllipse::cast(ent);
  e.kind = Entity::Kind::Ellipse;
  e.ellipse = {fromPoint(el->center()), fromVector(el->majorAxis()), fromVector(el->normal()),
               el->radiusRatio(), el->startParam(), el->endParam()};
  return true;
}

namespace {

void splineFitValue(const AcDbSpline& sp, SplineEntity& x) {
  AcGePoint3dArray fit;
  int fitDegree = 3;
  double fitTol = 0;
  bool tangents = false;
  AcGeVector3d start, end;
  if (sp.getFitData(fit, fitDegree, fitTol, tangents, start, end) != Acad::eOk) return;
  for (int i = 0; i < fit.length(); ++i) x.fitPoints.push_back(fromPoint(fit[i]));
  x.fitTolerance = fitTol;
  x.hasFitTolerance = true;
  if (tangents) {
    x.startTangent = fromVector(start);
    x.endTangent = fromVector(end);
    x.hasStartTangent = x.hasEndTangent = true;
  }
}

}  // namespace

bool splineFromDb(AcDbEntity* ent, Entity& e, FromDatabase&) {
  auto* sp = AcDbSpline::cast(ent);
  e.kind = Entity::Kind::Spline;
  SplineEntity& x = e.spline;
  int degree = 3;
  bool rational = false, closed = false, periodic = false;
  AcGePoint3dArray points;
  AcGeDoubleArray knots, weights;
  double controlTol = 0, knotTol = 0;
  if (sp->numControlPoints() > 0 &&
      sp->getNurbsData(degree, rational, closed, periodic, points, knots, weights, controlTol, knotTol) == Acad::eOk) {
    for (int i = 0; i < points.length(); ++i) x.controlPoints.push_back(fromPoint(points[i]));
    for (int i = 0; i < knots.length(); ++i) x.knots.push_back(knots[i]);
    if (rational) {
      for (int i = 0; i < weights.length(); ++i) x.weights.push_back(weights[i]);
    }
  } else {
    degree = sp->degree();
    closed = sp->isClosed();
    periodic = sp->isPeriodic();
  }
  x.degree = std::int16_t(degree);
  x.flags = std::int16_t((closed ? kSplineClosed : 0) | (periodic ? kSplinePeriodic : 0) |
                         (rational ? kSplineRational : 0) | kSplinePlanar);
  if (sp->hasFitData()) splineFitValue(*sp, x);
  return true;
}

// RAY and XLINE.
bool rayFromDb(AcDbEntity* ent, Entity& e, FromDatabase&) {
  auto* r = AcDbRay::cast(ent);
  e.kind = Entity::Kind::Ray;
  e.ray = {AcDbXline::cast(ent) != nullptr, fromPoint(r->basePoint()), fromVector(r->unitDir())};
  return true;
}

namespace {

void attributesOf(AcDbBlockReference& ref, InsertEntity& x, FromDatabase& db) {
  std::unique_ptr<AcDbObjectIterator> it(ref.attributeIterator());
  for (; it && !it->done(); it->step()) {
    Reading<AcDbAttribute> a(it->objectId());
    if (!a) continue;
    InsertEntity::Attribute& attr = x.attributes.emplace_back();
    db.commonOf(a.get(), attr.common);
    attr.text.kind = TextEntity::Kind::Attribute;
    textValue(a.get(), attr.text, db);
    attr.text.tag = a->tagConst();
    attr.text.attributeFlags = attributeFlagsOf(a->isInvisible(), a->isConstant(), a->isVerifiable(), a->isPreset());
    attr.text.fieldLength = std::int16_t(a->fieldLength());
  }
}

}  // namespace

// INSERT, of a block reference or a multiple one.
bool insertFromDb(AcDbEntity* ent, Entity& e, FromDatabase& db) {
  auto* ref = AcDbBlockReference::cast(ent);
  e.kind = Entity::Kind::Insert;
  InsertEntity& x = e.insert;
  std::string block = db.nameOf(ref->blockTableRecord());
  if (db.version() < DxfVersion::R13 && block == "*Model_Space") block = "$MODEL_SPACE";
  x.block = block;
  x.position = fromPoint(ref->position());
  AcGeScale3d s3 = ref->scaleFactors();
  x.scale = {s3.sx, s3.sy, s3.sz};
  x.rotation = toDegrees(ref->rotation());
  x.normal = fromVector(ref->normal());
  if (auto* mi = AcDbMInsertBlock::cast(ent)) {
    x.isMInsert = true;
    x.columns = std::int16_t(mi->columns());
    x.rows = std::int16_t(mi->rows());
    x.columnSpacing = mi->columnSpacing();
    x.rowSpacing = mi->rowSpacing();
  }
  attributesOf(*ref, x, db);
  return true;
}

bool hatchFromDb(AcDbEntity* ent, Entity& e, FromDatabase& db) {
  e.kind = Entity::Kind::Hatch;
  e.hatch = hatchEntityOf(cdb::hatchData(*AcDbHatch::cast(ent)), db.version(), handleOf);
  return true;
}

namespace {

bool modellerValue(const char* type, const std::vector<std::string>& lines, Entity& e, FromDatabase& db) {
  e.kind = Entity::Kind::Raw;
  e.raw.type = type;
  if (lines.empty()) db.warn("regions and solids made in this program are written without their modeller data");
  e.common.extras = withModellerLines(e.common.extras, lines);
  return true;
}

}  // namespace

bool regionFromDb(AcDbEntity* ent, Entity& e, FromDatabase& db) {
  return modellerValue("REGION", cdb::regionData(*AcDbRegion::cast(ent)).modellerData, e, db);
}

bool solid3dFromDb(AcDbEntity* ent, Entity& e, FromDatabase& db) {
  return modellerValue("3DSOLID", cdb::solidData(*AcDb3dSolid::cast(ent)).modellerData, e, db);
}

// An entity kept as read: the record's own tags first; complete follower records (from a
// "0" tag) are written after it by the drawing writer.
bool rawFromDb(AcDbEntity* ent, Entity& e) {
  auto* raw = AcDbRawEntity::cast(ent);
  e.kind = Entity::Kind::Raw;
  e.raw.type = raw->dxfName();
  e.common.extras.clear();
  for (const AcDbRawTag& t : raw->tags()) {
    if (t.code == 0) break;
    e.common.extras.push_back({t.code, t.value});
  }
  return true;
}

}  // namespace contura::dxf::detail
