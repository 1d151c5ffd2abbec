// What the canvas keeps and paints of a drawing: the index (every kind of entity, hidden
// layers left out, resolved colours, boxes of bulged segments), the layer list and its
// switches, and frames: culling, small entities as pixels, the highlighted selection, bulged
// segments where their arcs lie, hatches with islands and patterns.
#include "drawing_scene.h"
#include "frame_painter.h"
#include "bulge_cases.h"
#include "db_test_util.h"

#include <dbapserv.h>
#include <dbents.h>
#include <dbmain.h>
#include <dbhatch.h>
#include <dbmtext.h>
#include <dbregion.h>
#include <dbptrar.h>
#include <dbpl.h>
#include <dbsymtb.h>
#include <dbdict.h>
#include <contura/dxf/dxf.h>
#include <contura/db/hatch_data.h>
#include <QPolygonF>
#include <gtest/gtest.h>

#include <algorithm>
#include <numbers>
#include <random>
#include <map>
#include <tuple>

#include <cmath>

namespace {

using contura::qt::DrawingIndex;

using dbtest::addLayer;
using dbtest::appendToModelSpace;

AcDbLine* line(double x0, double y0, double x1, double y1, const char* layer = "0") {
  auto* l = dbtest::line(x0, y0, x1, y1);
  l->setLayer(layer);
  return l;
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

// (Lines on layers switched off or frozen, left out and shown again: the drawing-file test below.)
TEST(DrawingIndex, ColoursAreResolvedAndTheLayerListReportsTheSwitches) {
  Drawing d;
  addLayer(d.db, "RED", 1);
  addLayer(d.db, "OFF", 3);
  addLayer(d.db, "FROZEN", 4);
  AcDbObjectId byLayer = appendToModelSpace(d.db, line(0, 0, 10, 0, "RED"));
  AcDbLine* trueColor = line(0, 2, 10, 2);
  trueColor->setColor(AcCmColor(AcCmEntityColor(10, 20, 30)));
  AcDbObjectId byTrue = appendToModelSpace(d.db, trueColor);
  ASSERT_TRUE(contura::qt::setLayerState(d.db, "OFF", false, false));
  ASSERT_TRUE(contura::qt::setLayerState(d.db, "FROZEN", true, true));
  EXPECT_FALSE(contura::qt::setLayerState(d.db, "NO SUCH LAYER", true, false));

  DrawingIndex index(d.db);
  EXPECT_EQ(index.find(byLayer.handle().value())->color, QColor(255, 0, 0).rgba());
  EXPECT_EQ(index.find(byTrue.handle().value())->color, QColor(10, 20, 30).rgba());
  std::map<QString, contura::qt::LayerInfo> layers;
  for (const contura::qt::LayerInfo& l : contura::qt::layersOf(d.db)) layers[l.name] = l;
  EXPECT_FALSE(layers.at("OFF").on);
  EXPECT_TRUE(layers.at("FROZEN").frozen);
  EXPECT_EQ(layers.at("RED").color, QColor(255, 0, 0));
}

// What a query over `world` visits: handle and box, sorted.
std::vector<std::tuple<std::uint64_t, float, float, float, float>> visited(const DrawingIndex& index, QRectF world) {
  std::vector<std::tuple<std::uint64_t, float, float, float, float>> out;
  index.query(world, [&](const contura::qt::IndexedEntity& e) { out.emplace_back(e.handle, e.box.x0, e.box.y0, e.box.x1, e.box.y1); });
  std::sort(out.begin(), out.end());
  return out;
}

// A command's changes followed in place give what a new index of the changed drawing gives:
// moved, added, erased and unerased entities, data records passed over; a changed layer (it
// decides how many entities look) asks for a new index.
TEST(DrawingIndex, FollowsACommandsChangesAsANewIndexWouldSeeThem) {
  Drawing d;
  std::vector<AcDbObjectId> ids;
  for (int i = 0; i < 50; ++i) ids.push_back(appendToModelSpace(d.db, line(i, 0, i, 10)));
  DrawingIndex followed(d.db);

  {
    dbtest::Opened<AcDbLine> moved(ids[3], AcDb::kForWrite);
    moved->setEndPoint(AcGePoint3d(200, 300, 0));
  }
  dbtest::erase(ids[7]);
  dbtest::erase(ids[8]);
  {
    dbtest::Opened<AcDbObject> revived(ids[8], AcDb::kForWrite, true);
    EXPECT_EQ(revived->erase(false), Acad::eOk);
  }
  AcDbObjectId added = appendToModelSpace(d.db, line(-40, -40, -30, -30));
  {
    AcDbDictionary* named = nullptr;
    ASSERT_EQ(d.db.getNamedObjectsDictionary(named, AcDb::kForWrite), Acad::eOk);
    AcDbObjectId record;
    auto* data = new AcDbDictionary();
    named->setAt("APP DATA", data, record);
    data->close();
    named->close();
  }
  ASSERT_TRUE(followed.followChanges());
  DrawingIndex fresh(d.db);
  for (QRectF world : {QRectF(-100, -100, 400, 500), QRectF(150, 250, 100, 100), QRectF(6.5, -1, 1, 20), QRectF(-45, -45, 10, 10)})
    EXPECT_EQ(visited(followed, world), visited(fresh, world)) << world.x() << "," << world.y();
  EXPECT_EQ(followed.extents(), fresh.extents());
  EXPECT_EQ(followed.find(ids[7].handle().value()), nullptr);
  ASSERT_NE(followed.find(added.handle().value()), nullptr);
  EXPECT_TRUE(followed.followChanges());  // nothing new

  addLayer(d.db, "LATER", 2);
  EXPECT_FALSE(followed.followChanges());
  EXPECT_EQ(visited(followed, QRectF(-100, -100, 400, 500)), visited(fresh, QRectF(-100, -100, 400, 500)));
}

bool inked(const QImage& image, QPoint at) {
  return image.rect().contains(at) && image.pixel(at) != contura::qt::kCanvasBackground.rgb();
}

// The painted path and the index's box of a bulged segment agree with where the polyline
// says the segment lies: straight for the tiny bulges, through its middle for the others.
TEST(CanvasFrame, BulgedSegmentsArePaintedAndBoxedWhereTheirArcLies) {
  for (double bulge : bulgecases::kBulges) {
    Drawing d;
    AcDbPolyline* square = bulgecases::bulgedSquare(bulge);
    bool straight = square->segType(0) == AcDbPolyline::kLine;
    appendToModelSpace(d.db, square);
    const bulgecases::Segment segment = bulgecases::bulgedSegment(bulge);
    DrawingIndex index(d.db);
    QRectF box = index.extents();
    double slack = 1e-5 * std::max(box.width(), box.height()) + 1e-9;
    EXPECT_NEAR(box.top(), segment.yLow, slack) << bulge;
    EXPECT_NEAR(box.left(), segment.xLow, slack) << bulge;
    EXPECT_NEAR(box.right(), segment.xHigh, slack) << bulge;
    if (std::fabs(segment.midY) > bulgecases::kSide) continue;  // a near circle: too big for this view
    const contura::qt::View view{QPointF(5, 0), 20.0, QSize(400, 400)};
    QImage image;
    contura::qt::paintFrame(image, view, index, {});
    // The middle of the segment is painted; the middle of its chord only where the segment
    // is straight or bows less than a pixel away from it.
    auto inkedNear = [&](QPointF world) {
      QPointF at = view.toScreen(world);
      bool any = false;
      for (int dy = -1; dy <= 1; ++dy) any = any || inked(image, QPoint(int(at.x()), int(at.y()) + dy));
      return any;
    };
    EXPECT_TRUE(inkedNear(QPointF(bulgecases::kSide / 2, segment.midY))) << bulge;
    bool flat = straight || std::fabs(segment.midY) * view.scale < 1.0;
    EXPECT_EQ(inkedNear(QPointF(bulgecases::kSide / 2, 0.0)), flat) << bulge;
  }
}

// A text's glyphs fill its box along the baseline; an oblique text leans its letters right
// by the slant's tangent of their height (the ink of the top rows lies further right).
TEST(CanvasFrame, TextsFillTheirBoxAndObliqueOnesLean) {
  auto inkCentre = [](double oblique, bool top) {
    Drawing d;
    auto* text = new AcDbText(AcGePoint3d(0, 0, 0), "IIIIIIII", AcDbObjectId::kNull, 10.0, 0.0);
    text->setOblique(oblique);
    appendToModelSpace(d.db, text);
    const contura::qt::View view{QPointF(30, 5), 8.0, QSize(640, 240)};
    QImage image;
    contura::qt::paintFrame(image, view, DrawingIndex(d.db), {});
    // Rows of the upper or lower third of the letters.
    int baseline = int(view.toScreen(QPointF(0, 0)).y()), capTop = int(view.toScreen(QPointF(0, 10)).y());
    int third = (baseline - capTop) / 3;
    int from = top ? capTop : baseline - third, to = top ? capTop + third : baseline;
    double sum = 0, count = 0;
    for (int y = from; y < to; ++y)
      for (int x = 0; x < image.width(); ++x)
        if (inked(image, QPoint(x, y))) sum += x, ++count;
    return count > 0 ? sum / count : -1.0;
  };
  const double upright = inkCentre(0.0, true) - inkCentre(0.0, false);
  const double leaning = inkCentre(30.0 * std::numbers::pi / 180.0, true) - inkCentre(30.0 * std::numbers::pi / 180.0, false);
  EXPECT_NEAR(upright, 0.0, 3.0);
  // Two thirds of the 80-pixel height apart: tan 30 degrees of that, about 31 pixels.
  EXPECT_NEAR(leaning, std::tan(30.0 * std::numbers::pi / 180.0) * 80.0 * 2.0 / 3.0, 8.0);
}

// Filled areas keep their islands open; a patterned hatch is a lighter fill than a solid one.
TEST(CanvasFrame, HatchIslandsStayOpenAndPatternsAreLight) {
  Drawing d;
  auto square = [](double x0, double y0, double side) {
    AcGePoint2dArray points;
    for (auto [x, y] : {std::pair{0.0, 0.0}, {side, 0.0}, {side, side}, {0.0, side}}) points.append(AcGePoint2d(x0 + x, y0 + y));
    return points;
  };
  auto* solid = new AcDbHatch();
  ASSERT_EQ(solid->appendLoop(AcDbHatch::kExternal, square(0, 0, 10), AcGeDoubleArray()), Acad::eOk);
  ASSERT_EQ(solid->appendLoop(AcDbHatch::kDefault, square(3, 3, 4), AcGeDoubleArray()), Acad::eOk);
  solid->setPattern(AcDbHatch::kPreDefined, "SOLID");
  appendToModelSpace(d.db, solid);
  auto* patterned = new AcDbHatch();
  ASSERT_EQ(patterned->appendLoop(AcDbHatch::kExternal, square(20, 0, 10), AcGeDoubleArray()), Acad::eOk);
  patterned->setPattern(AcDbHatch::kPreDefined, "ANSI31");
  appendToModelSpace(d.db, patterned);
  const contura::qt::View view{QPointF(15, 5), 10.0, QSize(400, 200)};
  QImage image;
  contura::qt::paintFrame(image, view, DrawingIndex(d.db), {});
  auto at = [&](double x, double y) { return QColor(image.pixel(view.toScreen(QPointF(x, y)).toPoint())); };
  QColor ring = at(1.5, 5), island = at(5, 5), light = at(25, 5);
  EXPECT_NE(ring, contura::qt::kCanvasBackground);
  EXPECT_EQ(island, contura::qt::kCanvasBackground);
  EXPECT_NE(light, contura::qt::kCanvasBackground);
  EXPECT_LT(light.lightness(), ring.lightness());
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
  AcDbObjectId chosen = appendToModelSpace(d.db, line(0, 10, 100, 10));
  appendToModelSpace(d.db, line(0, 30, 100, 30));
  appendToModelSpace(d.db, line(500, 500, 600, 500));  // outside the view
  for (int i = 0; i < 50; ++i) appendToModelSpace(d.db, line(50.1 + i * 0.005, 50.1, 50.1 + i * 0.005 + 0.001, 50.1));  // one pixel
  DrawingIndex index(d.db);
  const contura::qt::View view{QPointF(50, 30), 2.0, QSize(220, 140)};
  QImage plain, marked;
  contura::qt::FrameCounts counts = contura::qt::paintFrame(plain, view, index, {});
  EXPECT_EQ(counts.drawn, 2u);
  EXPECT_EQ(counts.pixels, 1u);  // the tiny lines share one pixel: the first colours it
  QPointF tinyAt = view.toScreen(QPointF(50.2, 50.1));
  QPoint tiny(static_cast<int>(tinyAt.x()), static_cast<int>(tinyAt.y()));
  EXPECT_NE(plain.pixel(tiny), contura::qt::kCanvasBackground.rgb());

  contura::qt::FrameMarks marks;
  marks.highlighted.insert(chosen.handle().value());
  contura::qt::paintFrame(marked, view, index, marks);
  int left = view.toScreen(QPointF(5, 0)).toPoint().x(), right = view.toScreen(QPointF(95, 0)).toPoint().x();
  int chosenRow = view.toScreen(QPointF(0, 10)).toPoint().y() - 1, otherRow = view.toScreen(QPointF(0, 30)).toPoint().y() - 1;
  EXPECT_EQ(inkedColumns(plain, chosenRow, left, right), right - left + 1);
  EXPECT_LT(inkedColumns(marked, chosenRow, left, right), (right - left + 1) * 9 / 10);  // dashed
  EXPECT_EQ(inkedColumns(marked, otherRow, left, right), right - left + 1);
}

// The kind of every model-space entity the index holds.
std::map<std::string, std::vector<Adesk::UInt64>> drawnKinds(AcDbDatabase& db, const DrawingIndex& index) {
  std::map<std::string, std::vector<Adesk::UInt64>> drawn;
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
    const Adesk::UInt64 handle = e->objectId().handle().value();
    if (index.find(handle)) drawn[e->isA()->name()].push_back(handle);
    e->close();
  }
  delete it;
  space->close();
  return drawn;
}

TEST(DrawingIndex, EveryKindOfEntityOfADrawingFileIsIndexed) {
  // A drawing written by ezdxf with every kind of entity, some on layers off or frozen.
  AcDbDatabase db(false);
  contura::dxf::DxfError error;
  ASSERT_EQ(contura::dxf::readDxf(CONTURA_MADE_DATA_DIR "/dxf/fixture_r2018.dxf", db, error), Acad::eOk)
      << error.text();
  auto drawn = drawnKinds(db, DrawingIndex(db));
  for (const char* kind : {"AcDbLine", "AcDbArc", "AcDbPoint", "AcDbSolid", "AcDbText", "AcDbBlockReference",
                           "AcDbMInsertBlock", "AcDbPolyline", "AcDbMText", "AcDbEllipse", "AcDbRay", "AcDbXline",
                           "AcDbHatch"})
    EXPECT_FALSE(drawn[kind].empty()) << kind << " is not drawn";
  EXPECT_EQ(drawn["AcDbSpline"].size(), 2u);  // by control points, and by fit points only
  EXPECT_EQ(drawn["AcDbRawEntity"], std::vector<Adesk::UInt64>{0xCD});  // the dimension, through its block
  // The circle is on a frozen layer, the old-style polyline on one that is off.
  EXPECT_TRUE(drawn["AcDbCircle"].empty());
  EXPECT_TRUE(drawn["AcDb2dPolyline"].empty());
  ASSERT_TRUE(contura::qt::setLayerState(db, "FROZEN_LAYER", true, false));
  ASSERT_TRUE(contura::qt::setLayerState(db, "OFF_LAYER", true, false));
  drawn = drawnKinds(db, DrawingIndex(db));
  EXPECT_EQ(drawn["AcDbCircle"].size(), 1u);
  EXPECT_EQ(drawn["AcDb2dPolyline"].size(), 1u);
}

}  // namespace
