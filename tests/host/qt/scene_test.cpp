// The canvas's picture of a drawing: colours by layer, by block, index and true colour,
// layers switched off or frozen (also through a block reference), block transforms, texts,
// arcs of polylines, extents, and the layer list with its switches; the index the canvas
// draws through, and a frame's culling, sub-pixel entities and highlighted selection.
#include "drawing_scene.h"
#include "frame_painter.h"

#include <dbapserv.h>
#include <dbents.h>
#include <dbmain.h>
#include <dbhatch.h>
#include <dbmtext.h>
#include <dbregion.h>
#include <dbptrar.h>
#include <dbpl.h>
#include <dbsymtb.h>
#include <contura/dxf/dxf.h>
#include <contura/db/hatch_data.h>
#include <QPolygonF>
#include <gtest/gtest.h>

#include <algorithm>
#include <numbers>
#include <random>
#include <tuple>

#include <map>

#include <cmath>

namespace {

using contura::qt::Scene;
using contura::qt::SceneItem;

AcDbObjectId append(AcDbDatabase& db, AcDbEntity* entity, const char* block = ACDB_MODEL_SPACE) {
  AcDbBlockTable* table = nullptr;
  EXPECT_EQ(db.getBlockTable(table, AcDb::kForWrite), Acad::eOk);
  AcDbBlockTableRecord* record = nullptr;
  if (table->getAt(block, record, AcDb::kForWrite) != Acad::eOk) {
    record = new AcDbBlockTableRecord();
    record->setName(block);
    EXPECT_EQ(table->add(record), Acad::eOk);
  }
  table->close();
  AcDbObjectId id;
  EXPECT_EQ(record->appendAcDbEntity(id, entity), Acad::eOk);
  entity->close();
  record->close();
  return id;
}

AcDbObjectId blockId(AcDbDatabase& db, const char* name) {
  AcDbBlockTable* table = nullptr;
  db.getBlockTable(table, AcDb::kForRead);
  AcDbObjectId id;
  table->getAt(name, id);
  table->close();
  return id;
}

void addLayer(AcDbDatabase& db, const char* name, int colorIndex) {
  AcDbLayerTable* table = nullptr;
  ASSERT_EQ(db.getLayerTable(table, AcDb::kForWrite), Acad::eOk);
  auto* layer = new AcDbLayerTableRecord();
  layer->setName(name);
  AcCmColor color;
  color.setColorIndex(static_cast<Adesk::UInt16>(colorIndex));
  layer->setColor(color);
  EXPECT_EQ(table->add(layer), Acad::eOk);
  layer->close();
  table->close();
}

AcDbLine* line(double x0, double y0, double x1, double y1, const char* layer = "0") {
  auto* l = new AcDbLine(AcGePoint3d(x0, y0, 0), AcGePoint3d(x1, y1, 0));
  l->setLayer(layer);
  return l;
}

std::string handleOf(AcDbObjectId id) {
  char hex[17] = {};
  id.handle().getIntoAsciiBuffer(hex, sizeof hex);
  std::string out = hex;
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// A database that is the working one for the test's length (entities take their defaults
// from it).
struct Drawing {
  AcDbDatabase db{true};
  AcDbDatabase* previous;
  Drawing() : previous(acdbHostApplicationServices()->workingDatabase()) {
    acdbHostApplicationServices()->setWorkingDatabase(&db);
  }
  ~Drawing() { acdbHostApplicationServices()->setWorkingDatabase(previous); }
};

TEST(DrawingScene, EveryColourKindAndHiddenLayers) {
  Drawing d;
  addLayer(d.db, "RED", 1);
  addLayer(d.db, "OFF", 3);
  addLayer(d.db, "FROZEN", 4);
  AcDbObjectId byLayer = append(d.db, line(0, 0, 10, 0, "RED"));
  AcDbLine* indexed = line(0, 1, 10, 1, "RED");
  indexed->setColorIndex(3);
  AcDbObjectId byIndex = append(d.db, indexed);
  AcDbLine* trueColor = line(0, 2, 10, 2);
  trueColor->setColor(AcCmColor(AcCmEntityColor(10, 20, 30)));
  AcDbObjectId byTrue = append(d.db, trueColor);
  AcDbLine* byBlockAtTop = line(0, 3, 10, 3);
  byBlockAtTop->setColorIndex(0);
  AcDbObjectId topByBlock = append(d.db, byBlockAtTop);
  append(d.db, line(0, 4, 10, 4, "OFF"));
  append(d.db, line(0, 5, 10, 5, "FROZEN"));
  ASSERT_TRUE(contura::qt::setLayerState(d.db, "OFF", false, false));
  ASSERT_TRUE(contura::qt::setLayerState(d.db, "FROZEN", true, true));

  Scene scene = contura::qt::buildScene(d.db);
  ASSERT_EQ(scene.items.size(), 4u);  // the lines of the hidden layers are left out
  EXPECT_EQ(scene.find(handleOf(byLayer))->paths[0].color, QColor(255, 0, 0));
  EXPECT_EQ(scene.find(handleOf(byIndex))->paths[0].color, QColor(0, 255, 0));
  EXPECT_EQ(scene.find(handleOf(byTrue))->paths[0].color, QColor(10, 20, 30));
  EXPECT_EQ(scene.find(handleOf(topByBlock))->paths[0].color, QColor(Qt::white));  // no block around it

  // The layer list reports what was switched, and switching back shows the lines again.
  std::vector<contura::qt::LayerInfo> layers = contura::qt::layersOf(d.db);
  auto find = [&](const char* name) {
    for (const auto& l : layers)
      if (l.name == name) return l;
    ADD_FAILURE() << "no layer " << name;
    return contura::qt::LayerInfo{};
  };
  EXPECT_FALSE(find("OFF").on);
  EXPECT_TRUE(find("FROZEN").frozen);
  EXPECT_EQ(find("RED").color, QColor(255, 0, 0));
  ASSERT_TRUE(contura::qt::setLayerState(d.db, "OFF", true, false));
  ASSERT_TRUE(contura::qt::setLayerState(d.db, "FROZEN", true, false));
  EXPECT_EQ(contura::qt::buildScene(d.db).items.size(), 6u);
  EXPECT_FALSE(contura::qt::setLayerState(d.db, "NO SUCH LAYER", true, false));
}

TEST(DrawingScene, BlockReferencesMoveTheirContentsAndLendColourAndLayer) {
  Drawing d;
  addLayer(d.db, "BLUE", 5);
  addLayer(d.db, "HIDDEN", 2);
  AcDbLine* inherits = line(0, 0, 1, 0);  // layer 0, by block
  inherits->setColorIndex(0);
  append(d.db, inherits, "PART");
  append(d.db, line(0, 1, 1, 1), "PART");  // layer 0, by layer: the reference's layer
  auto* ref = new AcDbBlockReference(AcGePoint3d(100, 50, 0), blockId(d.db, "PART"));
  ref->setLayer("BLUE");
  ref->setColorIndex(3);
  ref->setScaleFactors(AcGeScale3d(2, 2, 2));
  ref->setRotation(M_PI / 2);
  AcDbObjectId refId = append(d.db, ref);
  auto* hiddenRef = new AcDbBlockReference(AcGePoint3d(0, 0, 0), blockId(d.db, "PART"));
  hiddenRef->setLayer("HIDDEN");
  append(d.db, hiddenRef);
  ASSERT_TRUE(contura::qt::setLayerState(d.db, "HIDDEN", true, true));

  Scene scene = contura::qt::buildScene(d.db);
  ASSERT_EQ(scene.items.size(), 1u);  // the reference on the frozen layer hides its contents
  const SceneItem* item = scene.find(handleOf(refId));
  ASSERT_NE(item, nullptr);
  ASSERT_EQ(item->paths.size(), 2u);
  // Block (0,0)-(1,0) scaled by 2, turned a quarter, moved to (100,50): (100,50)-(100,52).
  const auto& first = item->paths[0];
  EXPECT_NEAR(first.points[0].x(), 100.0, 1e-9);
  EXPECT_NEAR(first.points[0].y(), 50.0, 1e-9);
  EXPECT_NEAR(first.points[1].x(), 100.0, 1e-9);
  EXPECT_NEAR(first.points[1].y(), 52.0, 1e-9);
  EXPECT_EQ(first.color, QColor(0, 255, 0));           // by block: the reference's colour 3
  EXPECT_EQ(item->paths[1].color, QColor(0, 0, 255));  // layer 0 by layer: the reference's layer BLUE
  EXPECT_NEAR(item->bounds.left(), 98.0, 1e-9);         // (0,1)-(1,1) lands on x = 98
}

TEST(DrawingScene, PolylineArcsTextsAndExtents) {
  Drawing d;
  auto* pl = new AcDbPolyline();
  pl->addVertexAt(0, AcGePoint2d(0, 0), 1.0);  // a half circle to (10,0) through (5,-5)
  pl->addVertexAt(1, AcGePoint2d(10, 0));
  AcDbObjectId plId = append(d.db, pl);
  auto* text = new AcDbText(AcGePoint3d(20, 0, 0), "ABC", AcDbObjectId::kNull, 2.0, 0.0);
  text->setHorizontalMode(AcDb::kTextRight);
  text->setAlignmentPoint(AcGePoint3d(30, 0, 0));
  AcDbObjectId textId = append(d.db, text);
  auto* mtext = new AcDbMText();
  mtext->setLocation(AcGePoint3d(0, 40, 0));
  mtext->setTextHeight(3.0);
  mtext->setContents("ONE\\PTWO");
  AcDbObjectId mtextId = append(d.db, mtext);

  Scene scene = contura::qt::buildScene(d.db);
  const SceneItem* arc = scene.find(handleOf(plId));
  ASSERT_NE(arc, nullptr);
  ASSERT_GT(arc->paths[0].points.size(), 8u);
  double lowest = 0.0;
  for (QPointF p : arc->paths[0].points) {
    EXPECT_NEAR(std::hypot(p.x() - 5.0, p.y()), 5.0, 1e-6);  // every sample on the circle
    lowest = std::min(lowest, p.y());
  }
  EXPECT_NEAR(lowest, -5.0, 0.01);  // counter-clockwise from (0,0): the arc passes below

  const SceneItem* right = scene.find(handleOf(textId));
  ASSERT_EQ(right->texts.size(), 1u);
  EXPECT_EQ(right->texts[0].hAlign, contura::qt::SceneText::HAlign::kRight);
  EXPECT_EQ(right->texts[0].anchor, QPointF(30, 0));  // right-aligned texts hang from the alignment point

  const SceneItem* lines = scene.find(handleOf(mtextId));
  ASSERT_EQ(lines->texts.size(), 2u);
  EXPECT_EQ(lines->texts[0].text, "ONE");
  EXPECT_EQ(lines->texts[1].text, "TWO");
  EXPECT_NEAR(lines->texts[0].anchor.y(), 40.0 - 3.0, 1e-9);               // top attachment: one height down
  EXPECT_NEAR(lines->texts[0].anchor.y() - lines->texts[1].anchor.y(), 5.0, 1e-9);  // 5/3 of the height apart

  QRectF box = scene.extents();
  EXPECT_LE(box.left(), 0.0);
  EXPECT_LE(box.top(), -5.0);
  EXPECT_GE(box.bottom(), 40.0);
  EXPECT_TRUE(Scene().extents().isEmpty());
  // The index's box (kept as float, grown a little for curves cut coarsely) holds what is
  // drawn and is hardly larger.
  QRectF indexed = contura::qt::DrawingIndex(d.db).extents();
  EXPECT_TRUE(indexed.contains(box));
  EXPECT_LT(indexed.width(), box.width() * 1.05);
  EXPECT_LT(indexed.height(), box.height() * 1.05);
}

// The index finds exactly what a walk over every box finds: boxes of every size (a few
// long ones among many small ones), areas inside, across, outside and degenerate.
TEST(SpatialIndex, FindsWhatAWalkOverEveryBoxFinds) {
  using contura::qt::Box;
  std::mt19937 random(7);
  std::uniform_real_distribution<float> at(0, 1000), small(0, 5);
  for (int count : {0, 3, 5000}) {
    std::vector<Box> boxes;
    for (int i = 0; i < count; ++i) {
      float x = at(random), y = at(random), w = i % 100 == 0 ? 400.0f : small(random);
      boxes.push_back({x, y, x + w, y + small(random)});
    }
    contura::qt::SpatialIndex index;
    index.build(boxes);
    for (Box area : {Box{0, 0, 1000, 1000}, Box{10, 10, 20, 20}, Box{500, 0, 501, 1000}, Box{-10, -10, -1, -1},
                     Box{300, 300, 300, 300}}) {
      std::vector<std::uint32_t> found, expected;
      index.query(area, [&](std::uint32_t i) { found.push_back(i); });
      for (std::uint32_t i = 0; i < boxes.size(); ++i)
        if (area.intersects(boxes[i])) expected.push_back(i);
      std::sort(found.begin(), found.end());
      EXPECT_EQ(found, expected) << count << " boxes";
    }
  }
}

// Columns of a row of pixels (or the row below: an antialiased line may straddle them) that
// are not the background.
int inkedColumns(const QImage& image, int row, int from, int to) {
  int inked = 0;
  const QRgb background = contura::qt::kCanvasBackground.rgb();
  for (int x = from; x <= to; ++x)
    inked += (image.pixel(x, row) != background || image.pixel(x, row + 1) != background) ? 1 : 0;
  return inked;
}

TEST(CanvasFrame, CullsToTheViewShowsSubPixelEntitiesAsAPixelAndHighlightsTheChosen) {
  Drawing d;
  AcDbObjectId chosen = append(d.db, line(0, 10, 100, 10));
  append(d.db, line(0, 30, 100, 30));
  append(d.db, line(500, 500, 600, 500));  // outside the view
  for (int i = 0; i < 50; ++i) append(d.db, line(50.1 + i * 0.005, 50.1, 50.1 + i * 0.005 + 0.001, 50.1));  // one pixel
  contura::qt::DrawingIndex index(d.db);
  contura::qt::EntityDrawer drawer(d.db);
  const contura::qt::View view{QPointF(50, 30), 2.0, QSize(220, 140)};
  QImage plain, marked;
  contura::qt::FrameCounts counts = contura::qt::paintFrame(plain, view, index, &drawer, {});
  EXPECT_EQ(counts.drawn, 2u);
  EXPECT_EQ(counts.pixels, 1u);  // the tiny lines share one pixel: the first colours it
  QPointF tinyAt = view.toScreen(QPointF(50.2, 50.1));
  QPoint tiny(static_cast<int>(tinyAt.x()), static_cast<int>(tinyAt.y()));
  EXPECT_NE(plain.pixel(tiny), contura::qt::kCanvasBackground.rgb());

  contura::qt::FrameMarks marks;
  marks.highlighted.insert(chosen.handle().value());
  contura::qt::paintFrame(marked, view, index, &drawer, marks);
  int left = view.toScreen(QPointF(5, 0)).toPoint().x(), right = view.toScreen(QPointF(95, 0)).toPoint().x();
  int chosenRow = view.toScreen(QPointF(0, 10)).toPoint().y() - 1, otherRow = view.toScreen(QPointF(0, 30)).toPoint().y() - 1;
  EXPECT_EQ(inkedColumns(plain, chosenRow, left, right), right - left + 1);
  EXPECT_LT(inkedColumns(marked, chosenRow, left, right), (right - left + 1) * 9 / 10);  // dashed
  EXPECT_EQ(inkedColumns(marked, otherRow, left, right), right - left + 1);
}

// The kind of every model-space entity and whether the scene draws it.
std::map<std::string, std::vector<std::string>> drawnKinds(AcDbDatabase& db, const Scene& scene) {
  std::map<std::string, std::vector<std::string>> drawn;
  AcDbBlockTable* table = nullptr;
  db.getBlockTable(table, AcDb::kForRead);
  AcDbBlockTableRecord* space = nullptr;
  table->getAt(ACDB_MODEL_SPACE, space, AcDb::kForRead);
  table->close();
  AcDbBlockTableRecordIterator* it = nullptr;
  space->newIterator(it);
  for (; !it->done(); it->step()) {
    AcDbEntity* e = nullptr;
    if (it->getEntity(e, AcDb::kForRead) != Acad::eOk) continue;
    std::string handle = handleOf(e->objectId());
    if (scene.find(handle)) drawn[e->isA()->name()].push_back(handle);
    e->close();
  }
  delete it;
  space->close();
  return drawn;
}

TEST(DrawingScene, EveryKindOfEntityOfADrawingFileIsDrawn) {
  // A drawing written by ezdxf with every kind of entity, some on layers off or frozen.
  AcDbDatabase db(false);
  contura::dxf::DxfError error;
  ASSERT_EQ(contura::dxf::readDxf(CONTURA_MADE_DATA_DIR "/dxf/fixture_r2018.dxf", db, error), Acad::eOk)
      << error.text();
  auto drawn = drawnKinds(db, contura::qt::buildScene(db));
  for (const char* kind : {"AcDbLine", "AcDbArc", "AcDbPoint", "AcDbSolid", "AcDbText", "AcDbBlockReference",
                           "AcDbMInsertBlock", "AcDbPolyline", "AcDbMText", "AcDbEllipse", "AcDbRay", "AcDbXline",
                           "AcDbHatch"})
    EXPECT_FALSE(drawn[kind].empty()) << kind << " is not drawn";
  EXPECT_EQ(drawn["AcDbSpline"].size(), 2u);  // by control points, and by fit points only
  EXPECT_EQ(drawn["AcDbRawEntity"], std::vector<std::string>{"CD"});  // the dimension, through its block
  // The circle is on a frozen layer, the old-style polyline on one that is off.
  EXPECT_TRUE(drawn["AcDbCircle"].empty());
  EXPECT_TRUE(drawn["AcDb2dPolyline"].empty());
  ASSERT_TRUE(contura::qt::setLayerState(db, "FROZEN_LAYER", true, false));
  ASSERT_TRUE(contura::qt::setLayerState(db, "OFF_LAYER", true, false));
  drawn = drawnKinds(db, contura::qt::buildScene(db));
  EXPECT_EQ(drawn["AcDbCircle"].size(), 1u);
  EXPECT_EQ(drawn["AcDb2dPolyline"].size(), 1u);
}

TEST(DrawingScene, HatchesFillTheirLoopsAndRegionsShowTheirEdges) {
  Drawing d;
  auto* solid = new AcDbHatch();
  AcGePoint2dArray square;
  for (auto [x, y] : {std::pair{0.0, 0.0}, {10.0, 0.0}, {10.0, 10.0}, {0.0, 10.0}}) square.append(AcGePoint2d(x, y));
  ASSERT_EQ(solid->appendLoop(AcDbHatch::kExternal, square, AcGeDoubleArray()), Acad::eOk);
  solid->setPattern(AcDbHatch::kPreDefined, "SOLID");
  AcDbObjectId solidId = append(d.db, solid);
  auto* patterned = new AcDbHatch();
  ASSERT_EQ(patterned->appendLoop(AcDbHatch::kExternal, square, AcGeDoubleArray()), Acad::eOk);
  patterned->setPattern(AcDbHatch::kPreDefined, "ANSI31");
  AcDbObjectId patternedId = append(d.db, patterned);

  AcDbVoidPtrArray curves, regions;
  AcDbCircle circle(AcGePoint3d(50, 50, 0), AcGeVector3d::kZAxis, 5);
  curves.append(&circle);
  ASSERT_EQ(AcDbRegion::createFromCurves(curves, regions), Acad::eOk);
  ASSERT_EQ(regions.length(), 1);
  AcDbObjectId regionId = append(d.db, static_cast<AcDbEntity*>(regions[0]));

  Scene scene = contura::qt::buildScene(d.db);
  const SceneItem* filled = scene.find(handleOf(solidId));
  ASSERT_NE(filled, nullptr);
  ASSERT_EQ(filled->paths.size(), 2u);  // the fill and its outline
  EXPECT_TRUE(filled->paths[0].filled);
  EXPECT_EQ(filled->paths[0].points.size(), 4u);
  EXPECT_EQ(filled->paths[0].color.alpha(), 255);
  const SceneItem* light = scene.find(handleOf(patternedId));
  ASSERT_NE(light, nullptr);
  EXPECT_LT(light->paths[0].color.alpha(), 255);  // a pattern is shown as a light fill
  const SceneItem* region = scene.find(handleOf(regionId));
  ASSERT_NE(region, nullptr);
  EXPECT_NEAR(region->bounds.width(), 10.0, 1e-6);
  EXPECT_NEAR(region->bounds.center().x(), 50.0, 1e-6);
}

TEST(DrawingScene, HatchIslandsStayOpenAndCurvedEdgesAreFollowed) {
  Drawing d;
  using contura::db::HatchData;
  using contura::db::HatchEdge;
  using contura::db::HatchLoop;
  auto edgeLoop = [](std::vector<HatchEdge> edges) {
    HatchLoop loop;
    loop.type = AcDbHatch::kExternal;
    loop.edges = std::move(edges);
    return loop;
  };
  // An ellipse (x 10..30, y 15..25) as one elliptic-arc edge, with a square island.
  HatchData ring;
  HatchEdge ellipse;
  ellipse.type = AcDbHatch::kEllArc;
  ellipse.center = AcGePoint2d(20, 20);
  ellipse.majorAxis = AcGeVector2d(10, 0);
  ellipse.minorRatio = 0.5;
  ellipse.endAngle = 2 * std::numbers::pi;
  ring.loops.push_back(edgeLoop({ellipse}));
  HatchLoop island;
  island.type = AcDbHatch::kPolyline;
  for (auto [x, y] : {std::pair{18.0, 18.0}, {22.0, 18.0}, {22.0, 22.0}, {18.0, 22.0}})
    island.vertices.push_back({AcGePoint2d(x, y), 0.0});
  ring.loops.push_back(island);
  // A line along the x axis closed by a cubic spline edge that rises to y = 6 at x = 5.
  HatchData bump;
  HatchEdge base, arch;
  base.start = AcGePoint2d(0, 0);
  base.end = AcGePoint2d(10, 0);
  arch.type = AcDbHatch::kSpline;
  arch.knots = {0, 0, 0, 0, 1, 1, 1, 1};
  for (auto [x, y] : {std::pair{10.0, 0.0}, {12.0, 8.0}, {-2.0, 8.0}, {0.0, 0.0}}) arch.controlPoints.push_back(AcGePoint2d(x, y));
  bump.loops.push_back(edgeLoop({base, arch}));
  std::vector<AcDbObjectId> ids;
  for (HatchData* data : {&ring, &bump}) {
    auto* hatch = new AcDbHatch();
    ASSERT_EQ(contura::db::setHatchData(*hatch, *data), Acad::eOk);
    ids.push_back(append(d.db, hatch));
  }
  Scene scene = contura::qt::buildScene(d.db);
  auto fillOf = [&](AcDbObjectId id) {
    const SceneItem* item = scene.find(handleOf(id));
    EXPECT_NE(item, nullptr);
    if (item == nullptr || item->paths.empty() || !item->paths[0].filled) return QPolygonF();
    return QPolygonF(QList<QPointF>(item->paths[0].points.begin(), item->paths[0].points.end()));
  };
  const QPolygonF ringFill = fillOf(ids[0]), bumpFill = fillOf(ids[1]);
  for (auto [x, y, inside] : {std::tuple{12.0, 20.0, true}, {20.0, 24.0, true}, {20.0, 20.0, false},
                              {29.0, 24.0, false}, {31.0, 20.0, false}})
    EXPECT_EQ(ringFill.containsPoint(QPointF(x, y), Qt::OddEvenFill), inside) << x << "," << y;
  EXPECT_EQ(scene.find(handleOf(ids[0]))->paths.size(), 3u);  // the fill, then each outline
  for (auto [x, y, inside] : {std::tuple{5.0, 5.5, true}, {5.0, 6.5, false}, {9.0, 1.0, true}, {5.0, -0.5, false}})
    EXPECT_EQ(bumpFill.containsPoint(QPointF(x, y), Qt::OddEvenFill), inside) << x << "," << y;
}

}  // namespace
