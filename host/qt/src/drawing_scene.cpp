// The drawing's model space turned into paths, fills, texts and points for the canvas.
#include "drawing_scene.h"

#include <AcDbVarCommon.h>
#include <contura/db/hatch_data.h>
#include <contura/db/rawtags.h>
#include <contura/ge/text_box.h>
#include <acdb.h>
#include <dbcolor.h>
#include <dbcurve.h>
#include <dbelipse.h>
#include <dbents.h>
#include <dbhatch.h>
#include <dbmain.h>
#include <dbmtext.h>
#include <dbpl.h>
#include <dbptrar.h>
#include <dbregion.h>
#include <dbsol3d.h>
#include <dbspline.h>
#include <dbsymtb.h>
#include <dbextents.h>
#include <gemat3d.h>
#include <gearc2d.h>
#include <gepnt2d.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <string_view>

#include "text_codec.h"

namespace contura::qt {
namespace {

// A block inside a block inside ... deeper than this is not drawn (it would be a cycle).
constexpr int kMaxBlockNesting = 16;
// Curves are cut into straight pieces of at most this angle (arcs, ellipses, bulges).
constexpr double kMaxArcStepRadians = std::numbers::pi / 64.0;
// With a known pixel size, curves are cut so that no piece strays further than this many
// pixels from the curve, in pieces of at most this angle.
constexpr double kCurveDeviationPixels = 0.1;
constexpr double kCoarsestArcStepRadians = std::numbers::pi / 4.0;
// For an entity's box, curves are cut in steps of this angle and the box grows by the most a
// piece strays from the curve (1 - cos(step / 2) of the radius; under 2% of the box's size).
constexpr double kBoxArcStepRadians = std::numbers::pi / 8.0;
constexpr double kBoxGrowth = 0.02;
// Straight pieces per control point of a spline.
constexpr int kSplinePiecesPerControlPoint = 12;
// Rays and construction lines are drawn this long each way from their base point.
constexpr double kInfiniteLineLength = 1.0e7;
// Patterned hatches are shown as a light fill of their colour.
constexpr int kPatternFillAlpha = 70;

// Closes an open object when it goes out of scope.
struct Closer {
  void operator()(AcDbObject* p) const {
    if (p) p->close();
  }
};
template <class T>
using Opened = std::unique_ptr<T, Closer>;

std::string handleOf(AcDbObjectId id) {
  char hex[17] = {};
  if (!id.handle().getIntoAsciiBuffer(hex, sizeof hex)) return {};
  std::string out = hex;
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

QColor rgbColor(Adesk::UInt32 colorref) {
  return QColor(colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF);
}

struct LayerState {
  QColor color;
  bool visible = true;
};

// Where an entity is drawn from: the transform, colour and layer of the block references
// around it (none at the top).
struct Context {
  AcGeMatrix3d xform = AcGeMatrix3d::kIdentity;
  bool identity = true;
  QColor blockColor = Qt::white;  // what "by block" means here
  AcDbObjectId blockLayer;        // what layer "0" means here (null at the top)
  int depth = 0;
};

class SceneBuilder {
public:
  explicit SceneBuilder(AcDbDatabase& db) : m_db(db) { loadLayers(); }

  bool draw(AcDbObjectId id, PrimitiveSink& sink, double unitsPerPixel, bool forBox) {
    setPrecision(unitsPerPixel, forBox);
    AcDbEntity* raw = nullptr;
    if (acdbOpenAcDbEntity(raw, id, AcDb::kForRead) != Acad::eOk) return false;
    Opened<AcDbEntity> entity(raw);
    m_sink = &sink;
    addEntity(*entity, Context{});
    m_sink = nullptr;
    return true;
  }

private:
  void loadLayers() {
    AcDbLayerTable* rawTable = nullptr;
    if (m_db.getLayerTable(rawTable, AcDb::kForRead) != Acad::eOk) return;
    Opened<AcDbLayerTable> table(rawTable);
    AcDbLayerTableIterator* rawIt = nullptr;
    if (table->newIterator(rawIt) != Acad::eOk) return;
    std::unique_ptr<AcDbLayerTableIterator> it(rawIt);
    for (; !it->done(); it->step()) {
      AcDbLayerTableRecord* rawLayer = nullptr;
      if (it->getRecord(rawLayer, AcDb::kForRead) != Acad::eOk) continue;
      Opened<AcDbLayerTableRecord> layer(rawLayer);
      LayerState state;
      AcCmColor c = layer->color();
      state.color = c.isByColor() ? QColor(c.red(), c.green(), c.blue()) : colorOfIndex(c.colorIndex());
      state.visible = !layer->isOff() && !layer->isFrozen();
      m_layers[layer->objectId()] = state;
      const ACHAR* name = nullptr;
      if (layer->getName(name) == Acad::eOk && name && std::string_view(name) == "0") m_layerZero = layer->objectId();
    }
  }

  // The layer that decides an entity's visibility and "by layer" colour: its own, or for an
  // entity of layer "0" inside a block, the block reference's.
  AcDbObjectId effectiveLayer(const AcDbEntity& e, const Context& ctx) const {
    AcDbObjectId own = e.layerId();
    if (!ctx.blockLayer.isNull() && own == m_layerZero) return ctx.blockLayer;
    return own;
  }

  bool visible(const AcDbEntity& e, const Context& ctx) const {
    if (e.visibility() == AcDb::kInvisible) return false;
    // Inside a block, a frozen or switched-off layer of the reference hides everything.
    if (!ctx.blockLayer.isNull()) {
      auto outer = m_layers.find(ctx.blockLayer);
      if (outer != m_layers.end() && !outer->second.visible) return false;
    }
    auto it = m_layers.find(effectiveLayer(e, ctx));
    return it == m_layers.end() || it->second.visible;
  }

  QColor colorOf(const AcDbEntity& e, const Context& ctx) const {
    AcCmEntityColor c = e.entityColor();
    if (c.isByColor()) return QColor(c.red(), c.green(), c.blue());
    if (c.isByBlock()) return ctx.blockColor;
    if (c.isByACI()) return colorOfIndex(c.colorIndex());
    auto it = m_layers.find(effectiveLayer(e, ctx));
    return it == m_layers.end() ? QColor(Qt::white) : it->second.color;
  }

  QPointF place(const AcGePoint3d& p, const Context& ctx) const {
    if (ctx.identity) return QPointF(p.x, p.y);
    AcGePoint3d q = ctx.xform * p;
    return QPointF(q.x, q.y);
  }

  void addPath(std::vector<QPointF> points, bool closed, bool filled, double width, const QColor& color) {
    if (points.empty()) return;
    m_sink->path(points, closed, filled, width, color);
  }

  // Points along a curve between two parameters, through the curve's own evaluation.
  std::vector<QPointF> sampleCurve(const AcDbCurve& curve, double from, double to, int pieces, const Context& ctx) {
    std::vector<QPointF> points;
    pieces = std::max(1, pieces);
    for (int k = 0; k <= pieces; ++k) {
      AcGePoint3d p;
      if (curve.getPointAtParam(from + (to - from) * k / pieces, p) == Acad::eOk) points.push_back(place(p, ctx));
    }
    return points;
  }

  // How curves are cut: for a frame with `unitsPerPixel` (0: as finely as ever), or coarsely
  // for an entity's box.
  void setPrecision(double unitsPerPixel, bool forBox) {
    m_deviation = unitsPerPixel * kCurveDeviationPixels;
    m_forBox = forBox;
  }

  int arcPieces(double sweep, double radius) const {
    double step = kMaxArcStepRadians;
    if (m_forBox) step = kBoxArcStepRadians;
    else if (m_deviation > 0.0 && radius > 0.0)
      step = radius <= m_deviation ? kCoarsestArcStepRadians
                                   : std::clamp(2.0 * std::acos(1.0 - m_deviation / radius), kMaxArcStepRadians,
                                                kCoarsestArcStepRadians);
    return std::max(2, static_cast<int>(std::ceil(std::fabs(sweep) / step)));
  }

  static double radiusOf(const AcDbCurve& curve) {
    if (const AcDbCircle* circle = AcDbCircle::cast(&curve)) return circle->radius();
    if (const AcDbArc* arc = AcDbArc::cast(&curve)) return arc->radius();
    if (const AcDbEllipse* ellipse = AcDbEllipse::cast(&curve)) return ellipse->majorAxis().length();
    return 0.0;
  }

  // Circles and arcs in the drawing's plane, sampled straight from their centre and angles.
  bool sampleFlatCircle(const AcDbCurve& curve, const QColor& color, const Context& ctx) {
    AcGePoint3d center;
    double radius = 0.0, from = 0.0, to = 2.0 * std::numbers::pi;
    const AcDbCircle* circle = AcDbCircle::cast(&curve);
    const AcDbArc* arc = AcDbArc::cast(&curve);
    if (circle && circle->normal() == AcGeVector3d::kZAxis) {
      center = circle->center();
      radius = circle->radius();
    } else if (arc && arc->normal() == AcGeVector3d::kZAxis) {
      center = arc->center();
      radius = arc->radius();
      from = arc->startAngle();
      to = arc->endAngle();
      if (to < from) to += 2.0 * std::numbers::pi;
    } else {
      return false;
    }
    std::vector<QPointF> points;
    points.push_back(place(AcGePoint3d(center.x + radius * std::cos(from), center.y + radius * std::sin(from), center.z), ctx));
    appendArc(points, AcGePoint2d(center.x, center.y), AcGeVector2d(std::cos(from), std::sin(from)) * radius, to - from,
              center.z, ctx);
    addPath(std::move(points), false, false, 0.0, color);
    return true;
  }

  // The points after the start of an arc in the drawing's plane: the start vector (from the
  // centre) turned by `sweep` (counter-clockwise when positive) in equal steps, each step one
  // rotation of the last point.
  void appendArc(std::vector<QPointF>& points, const AcGePoint2d& center, AcGeVector2d v, double sweep, double z,
                 const Context& ctx) {
    int pieces = arcPieces(sweep, v.length() * scaleOf(ctx));
    double c = std::cos(sweep / pieces), s = std::sin(sweep / pieces);
    for (int k = 1; k <= pieces; ++k) {
      v = AcGeVector2d(v.x * c - v.y * s, v.x * s + v.y * c);
      points.push_back(place(AcGePoint3d(center.x + v.x, center.y + v.y, z), ctx));
    }
  }

  void addCurve(const AcDbCurve& curve, const QColor& color, const Context& ctx) {
    const AcDbSpline* fitted = AcDbSpline::cast(&curve);
    if (fitted && fitted->numControlPoints() == 0) {  // held as fit points only: drawn through them
      std::vector<QPointF> points;
      for (int i = 0; i < fitted->numFitPoints(); ++i) {
        AcGePoint3d p;
        if (fitted->getFitPointAt(i, p) == Acad::eOk) points.push_back(place(p, ctx));
      }
      addPath(std::move(points), false, false, 0.0, color);
      return;
    }
    double from = 0.0, to = 0.0;
    if (curve.getStartParam(from) != Acad::eOk || curve.getEndParam(to) != Acad::eOk) return;
    int pieces = 1;
    if (const AcDbLine* line = AcDbLine::cast(&curve)) {
      addPath({place(line->startPoint(), ctx), place(line->endPoint(), ctx)}, false, false, 0.0, color);
      return;
    }
    if (sampleFlatCircle(curve, color, ctx)) return;
    if (AcDbCircle::cast(&curve) || AcDbArc::cast(&curve) || AcDbEllipse::cast(&curve)) {
      pieces = arcPieces(to - from, radiusOf(curve) * scaleOf(ctx));
    } else if (const AcDbSpline* spline = AcDbSpline::cast(&curve)) {
      pieces = kSplinePiecesPerControlPoint * std::max(2, spline->numControlPoints());
    } else if (AcDb2dPolyline::cast(&curve)) {
      // Vertex parameters are whole numbers; each segment may be an arc.
      std::vector<QPointF> points;
      for (int seg = static_cast<int>(std::floor(from)); seg < static_cast<int>(std::ceil(to)); ++seg) {
        std::vector<QPointF> part = sampleCurve(curve, seg, seg + 1, arcPieces(std::numbers::pi, 0.0), ctx);
        if (!points.empty() && !part.empty()) part.erase(part.begin());
        points.insert(points.end(), part.begin(), part.end());
      }
      addPath(std::move(points), false, false, 0.0, color);
      return;
    }
    addPath(sampleCurve(curve, from, to, pieces, ctx), curve.isClosed() && AcDbCircle::cast(&curve) == nullptr, false,
            0.0, color);
  }

  void addPolyline(const AcDbPolyline& pl, const QColor& color, const Context& ctx) {
    unsigned n = pl.numVerts();
    if (n == 0) return;
    double constantWidth = 0.0;
    bool hasWidth = false;
    for (unsigned i = 0; i < n; ++i) {
      double w0 = 0.0, w1 = 0.0;
      pl.getWidthsAt(i, w0, w1);
      if (w0 > 0.0 || w1 > 0.0) {
        hasWidth = true;
        constantWidth = std::max(constantWidth, (w0 + w1) / 2.0);
      }
    }
    std::vector<QPointF> points;
    const bool flat = pl.normal() == AcGeVector3d::kZAxis;
    unsigned segments = pl.isClosed() ? n : n - 1;
    AcGePoint3d first;
    pl.getPointAt(0u, first);
    points.push_back(place(first, ctx));
    for (unsigned i = 0; i < segments; ++i) {
      double bulge = 0.0;
      pl.getBulgeAt(i, bulge);
      AcGeCircArc2d arc;
      if (flat && pl.segType(i) == AcDbPolyline::kArc && pl.getArcSegAt(i, arc) == Acad::eOk) {
        // In the drawing's plane: from the vertex round the segment's centre, counter-clockwise
        // for a positive bulge.
        AcGePoint2d start;
        pl.getPointAt(i, start);
        appendArc(points, arc.center(), start - arc.center(), bulge > 0.0 ? arc.sweep() : -arc.sweep(), pl.elevation(), ctx);
        continue;
      }
      int pieces = 1;
      if (bulge != 0.0) {
        // The arc's radius from its chord: chord (1 + b^2) / (4 |b|).
        AcGePoint2d a, b;
        pl.getPointAt(i, a);
        pl.getPointAt((i + 1) % n, b);
        pieces = arcPieces(4.0 * std::atan(bulge), a.distanceTo(b) * (1.0 + bulge * bulge) / (4.0 * std::fabs(bulge)) * scaleOf(ctx));
      }
      std::vector<QPointF> part = sampleCurve(pl, i, i + 1, pieces, ctx);
      if (!part.empty()) part.erase(part.begin());
      points.insert(points.end(), part.begin(), part.end());
    }
    if (n == 1) points.push_back(points.front());
    addPath(std::move(points), false, false, hasWidth ? constantWidth * scaleOf(ctx) : 0.0, color);
  }

  static double scaleOf(const Context& ctx) {
    if (ctx.identity) return 1.0;
    AcGeVector3d unit = ctx.xform * AcGeVector3d(1.0, 0.0, 0.0);
    return std::hypot(unit.x, unit.y);
  }

  // Height and rotation of a text after the context's transform.
  void placeText(SceneText& t, const AcGePoint3d& anchor, double height, double rotation, const Context& ctx) {
    t.anchor = place(anchor, ctx);
    t.height = height;
    t.rotation = rotation;
    if (ctx.identity) return;
    AcGeVector3d up = ctx.xform * AcGeVector3d(-std::sin(rotation) * height, std::cos(rotation) * height, 0.0);
    AcGeVector3d along = ctx.xform * AcGeVector3d(std::cos(rotation), std::sin(rotation), 0.0);
    t.height = std::hypot(up.x, up.y);
    t.rotation = std::atan2(along.y, along.x);
  }

  void addText(const AcDbText& text, const QColor& color, const Context& ctx) {
    SceneText t;
    bool aligned = !text.isDefaultAlignment();
    switch (text.horizontalMode()) {
      case AcDb::kTextCenter:
      case AcDb::kTextMid: t.hAlign = SceneText::HAlign::kCenter; break;
      case AcDb::kTextRight: t.hAlign = SceneText::HAlign::kRight; break;
      default: t.hAlign = SceneText::HAlign::kLeft; break;
    }
    switch (text.verticalMode()) {
      case AcDb::kTextBottom: t.vAlign = SceneText::VAlign::kBottom; break;
      case AcDb::kTextVertMid: t.vAlign = SceneText::VAlign::kMiddle; break;
      case AcDb::kTextTop: t.vAlign = SceneText::VAlign::kTop; break;
      default: t.vAlign = SceneText::VAlign::kBaseline; break;
    }
    if (text.horizontalMode() == AcDb::kTextMid) t.vAlign = SceneText::VAlign::kMiddle;
    // Aligned and fitted texts run from the position to the alignment point: drawn from
    // the position, left aligned.
    bool fromPosition = !aligned || text.horizontalMode() == AcDb::kTextAlign || text.horizontalMode() == AcDb::kTextFit;
    if (fromPosition) {
      t.hAlign = SceneText::HAlign::kLeft;
      t.vAlign = SceneText::VAlign::kBaseline;
    }
    placeText(t, fromPosition ? text.position() : text.alignmentPoint(), text.height(), text.rotation(), ctx);
    t.widthFactor = text.widthFactor();
    t.text = fromCp936(text.textStringConst());
    t.color = color;
    if (!t.text.isEmpty()) m_sink->text(t);
  }

  void addVariable(const AcDbVarCommon& var, const QColor& nameColor, const Context& ctx) {
    if (var.getVarNameVisible() != 0) addText(var, nameColor, ctx);
    CString value = var.getVarSetValue();
    if (value.IsEmpty()) value = var.getVarInitialValue();
    if (value.IsEmpty()) return;
    SceneText t;
    placeText(t, var.getValuePosition(), var.getVarValueHeight(), var.getVarAngle(), ctx);
    t.text = fromCp936(value.GetString());
    t.color = colorOfIndex(static_cast<int>(var.getVarValueColor()));
    m_sink->text(t);
  }

  void addMText(const AcDbMText& mtext, const QColor& color, const Context& ctx) {
    std::vector<std::string> lines = mtext.plainLines();
    if (lines.empty()) return;
    double h = mtext.textHeight();
    double spacing = h * contura::ge::kMTextLineSpacing * mtext.lineSpacingFactor();
    int attachment = static_cast<int>(mtext.attachment());  // 1..9: top, middle, bottom rows
    int row = (attachment - 1) / 3, column = (attachment - 1) % 3;
    double total = (lines.size() - 1) * spacing + h;
    // How far below the location (before rotation) the top of the lines lies, by row of the
    // attachment; the first baseline is one text height below that.
    double topDown = row == 0 ? 0.0 : row == 1 ? -total / 2.0 : -total;
    double firstBaseline = topDown + h;
    double rot = mtext.rotation();
    double ca = std::cos(rot), sa = std::sin(rot);
    AcGePoint3d loc = mtext.location();
    for (size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].empty()) continue;
      double down = firstBaseline + i * spacing;
      AcGePoint3d anchor(loc.x + down * sa, loc.y - down * ca, loc.z);
      SceneText t;
      placeText(t, anchor, h, rot, ctx);
      t.hAlign = column == 0 ? SceneText::HAlign::kLeft : column == 1 ? SceneText::HAlign::kCenter : SceneText::HAlign::kRight;
      t.text = fromCp936(lines[i]);
      t.color = color;
      m_sink->text(t);
    }
  }

  // The loops filled together, so that islands stay open (one polygon that steps from the
  // first loop's start to each further loop and back: the steps cancel under the odd-even
  // rule), then each loop's outline.
  void addHatch(const AcDbHatch& hatch, const QColor& color, const Context& ctx) {
    QColor fill = color;
    if (!hatch.isSolidFill()) fill.setAlpha(kPatternFillAlpha);
    const double z = hatch.elevation();
    std::vector<std::vector<QPointF>> loops;
    std::vector<AcGePoint2d> polygon;
    for (int loop = 0; loop < hatch.numLoops(); ++loop) {
      if (contura::db::hatchLoopPolygon(hatch, loop, kMaxArcStepRadians, polygon) != Acad::eOk || polygon.size() < 2)
        continue;
      std::vector<QPointF>& points = loops.emplace_back();
      for (const AcGePoint2d& p : polygon) points.push_back(place(AcGePoint3d(p.x, p.y, z), ctx));
    }
    if (loops.empty()) return;
    std::vector<QPointF> filled = loops.front();
    for (size_t i = 1; i < loops.size(); ++i) {
      filled.insert(filled.end(), loops[i].begin(), loops[i].end());
      filled.push_back(loops[i].front());
      filled.push_back(loops.front().front());
    }
    addPath(std::move(filled), true, true, 0.0, fill);
    for (std::vector<QPointF>& points : loops) addPath(std::move(points), true, false, 0.0, color);
  }

  void addSolid(const AcDbSolid& solid, const QColor& color, const Context& ctx) {
    AcGePoint3d p[4];
    for (Adesk::UInt16 i = 0; i < 4; ++i) solid.getPointAt(i, p[i]);
    // Drawing-file order: the third and fourth corners are crossed.
    addPath({place(p[0], ctx), place(p[1], ctx), place(p[3], ctx), place(p[2], ctx)}, true, true, 0.0, color);
  }

  // The entities of a block, placed by each transform, in the colour and on the layer of the
  // entity that shows them.
  void addBlockContents(AcDbObjectId blockId, const std::vector<AcGeMatrix3d>& placements, const AcDbEntity& shower,
                        const QColor& color, const Context& ctx) {
    if (ctx.depth >= kMaxBlockNesting) return;
    AcDbBlockTableRecord* rawBlock = nullptr;
    if (acdbOpenObject(rawBlock, blockId, AcDb::kForRead) != Acad::eOk) return;
    Opened<AcDbBlockTableRecord> block(rawBlock);
    Context inner;
    inner.blockColor = color;
    inner.blockLayer = effectiveLayer(shower, ctx);
    inner.depth = ctx.depth + 1;
    for (const AcGeMatrix3d& placement : placements) {
      inner.xform = ctx.identity ? placement : ctx.xform * placement;
      inner.identity = false;
      AcDbBlockTableRecordIterator* rawIt = nullptr;
      if (block->newIterator(rawIt) != Acad::eOk) continue;
      std::unique_ptr<AcDbBlockTableRecordIterator> it(rawIt);
      for (; !it->done(); it->step()) {
        AcDbEntity* raw = nullptr;
        if (it->getEntity(raw, AcDb::kForRead) != Acad::eOk) continue;
        Opened<AcDbEntity> part(raw);
        if (AcDbAttributeDefinition::cast(part.get())) continue;  // shown through the attributes
        addEntity(*part, inner);
      }
    }
  }

  // An entity the database keeps as drawing-file tags: a dimension is drawn as the block that
  // holds its picture (group code 2, in world coordinates); others have nothing to draw.
  void addRawEntity(const AcDbRawEntity& raw, const QColor& color, const Context& ctx) {
    if (raw.dxfName() != "DIMENSION") return;
    for (const AcDbRawTag& tag : raw.tags()) {
      if (tag.code != 2) continue;
      AcDbBlockTable* rawTable = nullptr;
      if (m_db.getBlockTable(rawTable, AcDb::kForRead) != Acad::eOk) return;
      Opened<AcDbBlockTable> table(rawTable);
      AcDbObjectId blockId;
      if (table->getAt(tag.value.c_str(), blockId) != Acad::eOk) return;
      table.reset();
      addBlockContents(blockId, {AcGeMatrix3d::kIdentity}, raw, color, ctx);
      return;
    }
  }

  void addBlockReference(const AcDbBlockReference& ref, const QColor& color, const Context& ctx) {
    if (ctx.depth >= kMaxBlockNesting) return;
    std::vector<AcGeMatrix3d> placements;
    if (const AcDbMInsertBlock* grid = AcDbMInsertBlock::cast(&ref)) {
      // Each cell is the reference moved along its rotated X (columns) and Y (rows) axes.
      double ca = std::cos(grid->rotation()), sa = std::sin(grid->rotation());
      for (int r = 0; r < grid->rows(); ++r)
        for (int c = 0; c < grid->columns(); ++c) {
          double dx = c * grid->columnSpacing(), dy = r * grid->rowSpacing();
          AcGeMatrix3d shift;
          shift.setToTranslation(AcGeVector3d(dx * ca - dy * sa, dx * sa + dy * ca, 0.0));
          placements.push_back(shift * ref.blockTransform());
        }
    } else {
      placements.push_back(ref.blockTransform());
    }
    addBlockContents(ref.blockTableRecord(), placements, ref, color, ctx);
    // Attributes stand in the reference's own space.
    std::unique_ptr<AcDbObjectIterator> attributes(ref.attributeIterator());
    for (; attributes && !attributes->done(); attributes->step()) {
      AcDbEntity* raw = nullptr;
      if (acdbOpenAcDbEntity(raw, attributes->objectId(), AcDb::kForRead) != Acad::eOk) continue;
      Opened<AcDbEntity> attribute(raw);
      const AcDbAttribute* a = AcDbAttribute::cast(attribute.get());
      if (a && !a->isInvisible() && visible(*a, ctx)) addText(*a, colorOf(*a, ctx), ctx);
    }
  }

  void addEntity(const AcDbEntity& e, const Context& ctx) {
    if (!visible(e, ctx)) return;
    QColor color = colorOf(e, ctx);
    if (const AcDbPolyline* pl = AcDbPolyline::cast(&e)) {
      addPolyline(*pl, color, ctx);
    } else if (const AcDbRay* ray = AcDbRay::cast(&e)) {
      AcGePoint3d base = ray->basePoint();
      AcGeVector3d dir = ray->unitDir() * kInfiniteLineLength;
      AcGePoint3d back = AcDbXline::cast(ray) ? base - dir : base;
      addPath({place(back, ctx), place(base + dir, ctx)}, false, false, 0.0, color);
      m_sink->unbounded();
    } else if (const AcDbCurve* curve = AcDbCurve::cast(&e)) {
      addCurve(*curve, color, ctx);
    } else if (const AcDbVarCommon* var = AcDbVarCommon::cast(&e)) {
      addVariable(*var, color, ctx);
    } else if (const AcDbAttributeDefinition* def = AcDbAttributeDefinition::cast(&e)) {
      if (ctx.depth == 0 && !def->isInvisible()) addText(*def, color, ctx);
    } else if (const AcDbText* text = AcDbText::cast(&e)) {
      addText(*text, color, ctx);
    } else if (const AcDbMText* mtext = AcDbMText::cast(&e)) {
      addMText(*mtext, color, ctx);
    } else if (const AcDbBlockReference* ref = AcDbBlockReference::cast(&e)) {
      addBlockReference(*ref, color, ctx);
    } else if (const AcDbHatch* hatch = AcDbHatch::cast(&e)) {
      addHatch(*hatch, color, ctx);
    } else if (const AcDbSolid* solid = AcDbSolid::cast(&e)) {
      addSolid(*solid, color, ctx);
    } else if (const AcDbPoint* point = AcDbPoint::cast(&e)) {
      m_sink->point(place(point->position(), ctx), color);
    } else if (const AcDbRawEntity* raw = AcDbRawEntity::cast(&e)) {
      addRawEntity(*raw, color, ctx);
    } else {
      addByExploding(e, color, ctx);
    }
  }

  // Regions and other entities made of curves are drawn through their pieces; what cannot
  // be exploded is shown as its extents.
  void addByExploding(const AcDbEntity& e, const QColor& color, const Context& ctx) {
    AcDbVoidPtrArray parts;
    if (e.explode(parts) == Acad::eOk) {
      for (int i = 0; i < parts.length(); ++i) {
        std::unique_ptr<AcDbEntity> part(static_cast<AcDbEntity*>(parts[i]));
        if (const AcDbCurve* curve = AcDbCurve::cast(part.get())) addCurve(*curve, color, ctx);
      }
      return;
    }
    AcDbExtents box;
    if (e.getGeomExtents(box) != Acad::eOk) return;
    AcGePoint3d lo = box.minPoint(), hi = box.maxPoint();
    addPath({place(lo, ctx), place(AcGePoint3d(hi.x, lo.y, lo.z), ctx), place(hi, ctx), place(AcGePoint3d(lo.x, hi.y, lo.z), ctx)},
            true, false, 0.0, color);
  }

  AcDbDatabase& m_db;
  std::map<AcDbObjectId, LayerState> m_layers;
  AcDbObjectId m_layerZero;
  PrimitiveSink* m_sink = nullptr;
  double m_deviation = 0.0;  // world units a curve's pieces may stray from it (0: finest)
  bool m_forBox = false;
};

// The box of what an entity draws: its points, and its texts by an estimate of their box.
struct Bounds {
  double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
  bool unbounded = false;

  void add(QPointF p) {
    x0 = std::min(x0, p.x());
    y0 = std::min(y0, p.y());
    x1 = std::max(x1, p.x());
    y1 = std::max(y1, p.y());
  }
  void addPath(const std::vector<QPointF>& points) {
    for (QPointF p : points) add(p);
  }
  void addText(const SceneText& t) {
    // The drawing's text box (a character outside ASCII is a double-byte one), placed by the
    // alignment and turned.
    double width = 0.0;
    for (QChar c : t.text) width += (c.unicode() > 0x7F ? contura::ge::kWideCharAdvance : contura::ge::kNarrowCharAdvance) * t.height;
    width *= t.widthFactor;
    double u0 = t.hAlign == SceneText::HAlign::kLeft ? 0.0 : t.hAlign == SceneText::HAlign::kCenter ? -width / 2 : -width;
    double v0 = -contura::ge::kTextDescent * t.height, v1 = t.height;
    if (t.vAlign == SceneText::VAlign::kTop) v0 -= t.height, v1 -= t.height;
    if (t.vAlign == SceneText::VAlign::kMiddle) v0 -= t.height / 2, v1 -= t.height / 2;
    double ca = std::cos(t.rotation), sa = std::sin(t.rotation);
    for (double u : {u0, u0 + width})
      for (double v : {v0, v1}) add(t.anchor + QPointF(u * ca - v * sa, u * sa + v * ca));
  }
  bool bounded() const { return x0 <= x1; }
  QRectF rect() const { return QRectF(QPointF(x0, y0), QPointF(x1, y1)); }
};

// Keeps every primitive of an entity (the paths of an unbounded one stay out of its box).
class CollectingSink : public PrimitiveSink {
public:
  explicit CollectingSink(SceneItem& item) : m_item(item) {}
  void path(const std::vector<QPointF>& points, bool closed, bool filled, double width, const QColor& color) override {
    m_item.paths.push_back({points, closed, filled, width, color});
    m_paths.addPath(points);
  }
  void text(const SceneText& text) override {
    m_item.texts.push_back(text);
    m_bounds.addText(text);
  }
  void point(QPointF at, const QColor& color) override {
    m_item.points.push_back(at);
    m_item.pointColor = color;
    m_bounds.add(at);
  }
  void unbounded() override { m_item.unbounded = true; }
  void finish() {
    if (!m_item.unbounded && m_paths.bounded()) m_bounds.add(m_paths.rect().topLeft()), m_bounds.add(m_paths.rect().bottomRight());
    m_item.bounded = m_bounds.bounded();
    if (m_item.bounded) m_item.bounds = m_bounds.rect();
  }

private:
  SceneItem& m_item;
  Bounds m_paths, m_bounds;
};

// Keeps only an entity's box and first colour.
class BoxSink : public PrimitiveSink {
public:
  void path(const std::vector<QPointF>& points, bool, bool, double, const QColor& color) override {
    m_paths.addPath(points);
    seen(color);
  }
  void text(const SceneText& text) override {
    m_bounds.addText(text);
    seen(text.color);
  }
  void point(QPointF at, const QColor& color) override {
    m_bounds.add(at);
    seen(color);
  }
  void unbounded() override { m_unbounded = true; }
  bool any() const { return m_any; }
  // The entity's index entry (box and colour); false when it draws nothing.
  bool fill(IndexedEntity& entry) {
    if (!m_any) return false;
    if (!m_unbounded && m_paths.bounded()) m_bounds.add(m_paths.rect().topLeft()), m_bounds.add(m_paths.rect().bottomRight());
    entry.color = m_color;
    entry.unbounded = m_unbounded || !m_bounds.bounded();
    if (m_bounds.bounded()) {
      double grow = kBoxGrowth * std::max(m_bounds.x1 - m_bounds.x0, m_bounds.y1 - m_bounds.y0);
      entry.box = Box{float(m_bounds.x0 - grow), float(m_bounds.y0 - grow), float(m_bounds.x1 + grow), float(m_bounds.y1 + grow)};
    }
    return true;
  }

private:
  void seen(const QColor& color) {
    if (!m_any) m_color = color.rgba();
    m_any = true;
  }
  Bounds m_paths, m_bounds;
  QRgb m_color = 0;
  bool m_any = false;
  bool m_unbounded = false;
};

// The ids of model space in drawing order.
std::vector<AcDbObjectId> modelSpaceIds(AcDbDatabase& db) {
  std::vector<AcDbObjectId> ids;
  AcDbBlockTable* rawTable = nullptr;
  if (db.getBlockTable(rawTable, AcDb::kForRead) != Acad::eOk) return ids;
  Opened<AcDbBlockTable> table(rawTable);
  AcDbBlockTableRecord* rawSpace = nullptr;
  if (table->getAt(ACDB_MODEL_SPACE, rawSpace, AcDb::kForRead) != Acad::eOk) return ids;
  Opened<AcDbBlockTableRecord> space(rawSpace);
  table.reset();
  AcDbBlockTableRecordIterator* rawIt = nullptr;
  if (space->newIterator(rawIt) != Acad::eOk) return ids;
  std::unique_ptr<AcDbBlockTableRecordIterator> it(rawIt);
  for (; !it->done(); it->step()) {
    AcDbObjectId id;
    if (it->getEntityId(id) == Acad::eOk) ids.push_back(id);
  }
  return ids;
}

}  // namespace

QRectF Scene::extents() const {
  QRectF box;
  bool any = false;
  for (const SceneItem& item : items) {
    if (!item.bounded) continue;
    if (!any) box = item.bounds;
    box.setLeft(std::min(box.left(), item.bounds.left()));
    box.setTop(std::min(box.top(), item.bounds.top()));
    box.setRight(std::max(box.right(), item.bounds.right()));
    box.setBottom(std::max(box.bottom(), item.bounds.bottom()));
    any = true;
  }
  return box;
}

const SceneItem* Scene::find(const std::string& handle) const {
  for (const SceneItem& item : items)
    if (item.handle == handle) return &item;
  return nullptr;
}

QColor colorOfIndex(int index) {
  if (index < 1 || index > 255) return Qt::white;
  return rgbColor(AcCmEntityColor::lookUpRGB(static_cast<Adesk::UInt8>(index)));
}

class EntityDrawer::Impl : public SceneBuilder {
public:
  using SceneBuilder::SceneBuilder;
};

EntityDrawer::EntityDrawer(AcDbDatabase& db) : m_impl(std::make_unique<Impl>(db)) {}
EntityDrawer::~EntityDrawer() = default;
bool EntityDrawer::draw(AcDbObjectId id, PrimitiveSink& sink, double unitsPerPixel) const {
  return m_impl->draw(id, sink, unitsPerPixel, false);
}

bool EntityDrawer::box(AcDbObjectId id, PrimitiveSink& sink) const { return m_impl->draw(id, sink, 0.0, true); }

Scene buildScene(AcDbDatabase& db) {
  Scene scene;
  EntityDrawer drawer(db);
  for (AcDbObjectId id : modelSpaceIds(db)) {
    SceneItem item;
    item.handle = handleOf(id);
    CollectingSink sink(item);
    if (!drawer.draw(id, sink)) continue;
    sink.finish();
    if (!item.paths.empty() || !item.texts.empty() || !item.points.empty()) scene.items.push_back(std::move(item));
  }
  return scene;
}

DrawingIndex::DrawingIndex(AcDbDatabase& db) : m_db(&db) {
  EntityDrawer drawer(db);
  for (AcDbObjectId id : modelSpaceIds(db)) {
    BoxSink sink;
    IndexedEntity entry;
    if (!drawer.box(id, sink) || !sink.fill(entry)) continue;
    entry.id = id;
    entry.handle = id.handle().value();
    m_entities.push_back(entry);
  }
  index();
}

DrawingIndex::DrawingIndex(std::vector<IndexedEntity> entities) : m_entities(std::move(entities)) { index(); }

void DrawingIndex::index() {
  std::vector<Box> boxes;
  std::vector<std::uint32_t> positions;
  Box all;
  bool any = false;
  m_byHandle.reserve(m_entities.size());
  bool sorted = true;
  for (std::uint32_t i = 0; i < m_entities.size(); ++i) {
    const IndexedEntity& e = m_entities[i];
    sorted = sorted && (m_byHandle.empty() || m_byHandle.back().first < e.handle);
    m_byHandle.emplace_back(e.handle, i);
    if (e.unbounded) {
      m_unbounded.push_back(i);
      continue;
    }
    if (any) all.include(e.box);
    else all = e.box;
    any = true;
    boxes.push_back(e.box);
    positions.push_back(i);
  }
  if (any) m_extents = QRectF(QPointF(all.x0, all.y0), QPointF(all.x1, all.y1));
  if (!sorted) std::sort(m_byHandle.begin(), m_byHandle.end());
  m_tree.build(boxes);
  m_treeItems = std::move(positions);
}

QRectF DrawingIndex::extents() const { return m_extents; }

const IndexedEntity* DrawingIndex::find(std::uint64_t handle) const {
  auto it = std::lower_bound(m_byHandle.begin(), m_byHandle.end(), std::pair<std::uint64_t, std::uint32_t>(handle, 0));
  return it == m_byHandle.end() || it->first != handle ? nullptr : &m_entities[it->second];
}

std::vector<std::uint64_t> handleValues(const std::vector<std::string>& handles) {
  std::vector<std::uint64_t> out;
  out.reserve(handles.size());
  for (const std::string& text : handles) {
    AcDbHandle handle(text.c_str());
    if (!handle.isNull()) out.push_back(handle.value());
  }
  return out;
}

std::vector<LayerInfo> layersOf(AcDbDatabase& db) {
  std::vector<LayerInfo> out;
  AcDbLayerTable* rawTable = nullptr;
  if (db.getLayerTable(rawTable, AcDb::kForRead) != Acad::eOk) return out;
  Opened<AcDbLayerTable> table(rawTable);
  AcDbLayerTableIterator* rawIt = nullptr;
  if (table->newIterator(rawIt) != Acad::eOk) return out;
  std::unique_ptr<AcDbLayerTableIterator> it(rawIt);
  for (; !it->done(); it->step()) {
    AcDbLayerTableRecord* rawLayer = nullptr;
    if (it->getRecord(rawLayer, AcDb::kForRead) != Acad::eOk) continue;
    Opened<AcDbLayerTableRecord> layer(rawLayer);
    LayerInfo info;
    const ACHAR* name = nullptr;
    if (layer->getName(name) == Acad::eOk && name) info.name = fromCp936(name);
    AcCmColor c = layer->color();
    info.colorIndex = c.colorIndex();
    info.color = c.isByColor() ? QColor(c.red(), c.green(), c.blue()) : colorOfIndex(c.colorIndex());
    info.on = !layer->isOff();
    info.frozen = layer->isFrozen();
    out.push_back(info);
  }
  return out;
}

bool setLayerState(AcDbDatabase& db, const QString& name, bool on, bool frozen) {
  AcDbLayerTable* rawTable = nullptr;
  if (db.getLayerTable(rawTable, AcDb::kForRead) != Acad::eOk) return false;
  Opened<AcDbLayerTable> table(rawTable);
  AcDbLayerTableRecord* rawLayer = nullptr;
  if (table->getAt(toCp936(name).c_str(), rawLayer, AcDb::kForWrite) != Acad::eOk) return false;
  Opened<AcDbLayerTableRecord> layer(rawLayer);
  if (layer->isOff() == !on && layer->isFrozen() == frozen) return true;
  return layer->setIsOff(!on) == Acad::eOk && layer->setIsFrozen(frozen) == Acad::eOk;
}

}  // namespace contura::qt
